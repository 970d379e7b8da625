// flextor-onewire run as a person runs it, against a simulated bus in this process.
#include <gtest/gtest.h>

#include "owsim/sim_bus.h"
#include "support/program_runner.h"
#include "support/temp_dir.h"

namespace flextor::test {
namespace {

class OneWireToolTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(bus.Start());
        program = InstallProgram("flextor-onewire", dir.path());
    }

    // The bus answers from a thread of this process: the tool waits eight times
    // as long for its echoes.
    RunResult Run(const std::vector<std::string>& args) {
        return RunProgram(program, args, {"FLEXTOR_TEST_ECHO_STRETCH=8"});
    }

    static bool Contains(const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos;
    }

    TempDir dir;
    std::filesystem::path program;
    owsim::SimBus bus;
};

TEST_F(OneWireToolTest, ListsEveryDeviceWithItsTemperature) {
    bus.AddSensor(0x28, 0x0000041A2B3C, 785);
    bus.AddSensor(0x10, 0x000000ABCDEF, -105);
    bus.AddSensor(0x01, 0x000000000042, 0);

    RunResult run = Run({bus.PortName()});
    EXPECT_EQ(run.exit_code, 0) << run.output;
    EXPECT_TRUE(Contains(run.output, "28-0000041A2B3C-BB 78.5\n")) << run.output;
    EXPECT_TRUE(Contains(run.output, "10-000000ABCDEF-05 -10.5\n")) << run.output;
    EXPECT_TRUE(Contains(run.output, "01-000000000042-26 -\n")) << run.output;
    EXPECT_TRUE(Contains(run.output, "3 devices found")) << run.output;
}

TEST_F(OneWireToolTest, MarksSensorsThatCannotBeReadOrDidNotConvert) {
    owsim::RomCode broken = bus.AddSensor(0x28, 0x1, 200);
    owsim::RomCode stuck = bus.AddSensor(0x28, 0x2, 200);
    bus.AddSensor(0x28, 0x3, -5);
    EXPECT_TRUE(bus.SetBadCrc(broken, true));
    EXPECT_TRUE(bus.SetStuckAt85(stuck, true));

    RunResult run = Run({"/dev/" + bus.PortName()});
    EXPECT_EQ(run.exit_code, 0) << run.output;
    EXPECT_TRUE(Contains(run.output, owsim::FormatRom(broken) + " error\n")) << run.output;
    EXPECT_TRUE(Contains(run.output, owsim::FormatRom(stuck) + " 85.0 (power-on value"))
        << run.output;
    EXPECT_TRUE(Contains(run.output, " -0.5\n")) << run.output;
}

TEST_F(OneWireToolTest, EmptyBusIsASearchThatFoundNothing) {
    RunResult run = Run({bus.PortName()});
    EXPECT_EQ(run.exit_code, 0) << run.output;
    EXPECT_TRUE(Contains(run.output, "no device answered")) << run.output;
    EXPECT_TRUE(Contains(run.output, "0 devices found")) << run.output;
}

TEST_F(OneWireToolTest, ShortedBusEndsWithAHint) {
    bus.AddSensor(0x28, 0x1, 200);
    bus.SetShorted(true);
    RunResult run = Run({bus.PortName()});
    EXPECT_EQ(run.exit_code, 0) << run.output;
    EXPECT_TRUE(Contains(run.output, "held low")) << run.output;
}

TEST_F(OneWireToolTest, PortThatCannotBeOpened) {
    RunResult run = Run({"ttyOWIRE-no-such-port"});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_TRUE(Contains(run.output, "cannot open the port /dev/ttyOWIRE-no-such-port"))
        << run.output;
}

TEST_F(OneWireToolTest, HelpAndWrongCommandLines) {
    RunResult help = Run({"--help"});
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_TRUE(Contains(help.output, "usage: flextor-onewire PORT"));
    EXPECT_EQ(Run({}).exit_code, 2);
    EXPECT_EQ(Run({"ttyUSB0", "ttyUSB1"}).exit_code, 2);
}

}  // namespace
}  // namespace flextor::test
