// The control interface: its commands, its socket, the port link and the program.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "owsim/control_commands.h"
#include "owsim/control_server.h"
#include "owsim/port_link.h"
#include "owsim/sim_bus.h"
#include "support/program_runner.h"
#include "support/temp_dir.h"

namespace flextor::owsim {
namespace {

namespace fs = std::filesystem;

const std::string kRom = FormatRom(MakeRom(0x28, 0x0000041A2B3C));

TEST(OwsimControl, CommandsChangeTheBusAndReportIt) {
    SimBus bus;
    EXPECT_EQ(RunControlCommand(bus, "sensor 28:0000041A2B3C:785"), "ok " + kRom);
    EXPECT_EQ(RunControlCommand(bus, "sensor 28:41a2b3c"), "error device already on the bus");
    EXPECT_EQ(RunControlCommand(bus, "add 01-000000000001-00 -30"), "ok 01-000000000001-00");
    EXPECT_EQ(RunControlCommand(bus, "temp " + kRom + " -125"), "ok");
    EXPECT_EQ(RunControlCommand(bus, "fault " + kRom + " badcrc on"), "ok");
    EXPECT_EQ(RunControlCommand(bus, "fault " + kRom + " stuck85 on"), "ok");
    EXPECT_EQ(RunControlCommand(bus, "fault 01-000000000001-00 absent on"), "ok");
    EXPECT_EQ(RunControlCommand(bus, "list"),
              "ok " + kRom + ":-125:badcrc:stuck85 01-000000000001-00:-30:absent");
    EXPECT_EQ(RunControlCommand(bus, "clear-faults"), "ok");
    EXPECT_EQ(RunControlCommand(bus, "remove 01-000000000001-00"), "ok");
    EXPECT_EQ(RunControlCommand(bus, "list"), "ok " + kRom + ":-125");
    EXPECT_EQ(RunControlCommand(bus, "counters"), "ok resets=0 searches=0");
    EXPECT_EQ(RunControlCommand(bus, "counters " + kRom), "ok converts=0 reads=0");
    for (const char* command : {"bus shorted on", "bus silent off", "bus drop-next 3",
                                "bus drop-every 8", "bus delay 10", "clear-counters"}) {
        EXPECT_EQ(RunControlCommand(bus, command), "ok") << command;
    }
}

TEST(OwsimControl, AdapterTimingSurvivesClearFaults) {
    SimBus bus;
    EXPECT_EQ(RunControlCommand(bus, "bus line-time on"), "ok");
    EXPECT_EQ(RunControlCommand(bus, "bus latency 16"), "ok");
    EXPECT_EQ(RunControlCommand(bus, "clear-faults"), "ok");
    EXPECT_TRUE(bus.LineTime());
    EXPECT_EQ(bus.LatencyUs(), 16000);
    for (const char* command : {"bus latency 1001", "bus latency -1", "bus line-time 1"}) {
        EXPECT_TRUE(RunControlCommand(bus, command).starts_with("error usage: ")) << command;
    }
    EXPECT_EQ(RunControlCommand(bus, "bus line-time off"), "ok");
    EXPECT_EQ(RunControlCommand(bus, "bus latency 0"), "ok");
    EXPECT_FALSE(bus.LineTime());
    EXPECT_EQ(bus.LatencyUs(), 0);
}

TEST(OwsimControl, BadCommandsAreRefusedWithAReason) {
    SimBus bus;
    EXPECT_EQ(RunControlCommand(bus, ""), "error empty command");
    EXPECT_EQ(RunControlCommand(bus, "explode"), "error unknown command explode");
    EXPECT_EQ(RunControlCommand(bus, "temp " + kRom + " 20"), "error unknown device");
    for (const char* command :
         {"sensor 28", "sensor 28:1234567890ABC", "sensor 128:1", "sensor 28:-1", "sensor 28:1:hot",
          "temp 28-00 5", "fault 28-0000041A2B3C-BB melted on", "bus shorted maybe", "bus delay -5",
          "list all", "counters 1 2"}) {
        EXPECT_TRUE(RunControlCommand(bus, command).starts_with("error usage: ")) << command;
    }
    EXPECT_TRUE(bus.Devices().empty());
}

std::string Exchange(int fd, const std::string& text, std::size_t lines) {
    EXPECT_EQ(send(fd, text.data(), text.size(), MSG_NOSIGNAL), static_cast<ssize_t>(text.size()));
    std::string answer;
    while (static_cast<std::size_t>(std::count(answer.begin(), answer.end(), '\n')) < lines) {
        pollfd pfd{fd, POLLIN, 0};
        char buffer[512];
        ssize_t n = poll(&pfd, 1, 5000) > 0 ? recv(fd, buffer, sizeof buffer, 0) : 0;
        if (n <= 0) {
            break;
        }
        answer.append(buffer, static_cast<std::size_t>(n));
    }
    return answer;
}

int Connect(const std::string& path) {
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

TEST(OwsimControl, SocketAnswersEveryLineAndCleansUp) {
    test::TempDir dir;
    std::string path = (dir / "bus.sock").string();
    test::WriteFile(path, "not a socket");
    SimBus bus;
    ControlServer server(bus);
    std::string error;
    EXPECT_FALSE(server.Start(path, &error));
    EXPECT_NE(error.find("not a socket"), std::string::npos);
    fs::remove(path);

    ASSERT_TRUE(server.Start(path, &error)) << error;
    int first = Connect(path);
    int second = Connect(path);
    ASSERT_GE(first, 0);
    ASSERT_GE(second, 0);
    EXPECT_EQ(Exchange(first, "sensor 28:0000041A2B3C:785\nlis", 1), "ok " + kRom + "\n");
    EXPECT_EQ(Exchange(second, "counters\r\n", 1), "ok resets=0 searches=0\n");
    EXPECT_EQ(Exchange(first, "t\nport\n", 2), "ok " + kRom + ":785\nerror bus not running\n");
    close(second);
    close(first);

    ControlServer rival(bus);
    EXPECT_FALSE(rival.Start(path, &error));
    server.Stop();
    EXPECT_FALSE(fs::exists(path));
}

TEST(OwsimControl, PortLinkReplacesOnlyStaleLinks) {
    test::TempDir dir;
    std::string path = (dir / "ttyOWSIM0").string();
    fs::create_symlink("/dev/null", path);
    {
        PortLink link;
        std::string error;
        ASSERT_TRUE(link.Create(path, "/dev/pts/77", &error)) << error;
        EXPECT_EQ(fs::read_symlink(path), "/dev/pts/77");
        EXPECT_EQ(link.PortName(), "");  // not under /dev
    }
    EXPECT_FALSE(fs::is_symlink(path));

    test::WriteFile(path, "a file");
    PortLink link;
    std::string error;
    EXPECT_FALSE(link.Create(path, "/dev/pts/77", &error));
    EXPECT_EQ(test::ReadFile(path), "a file");
}

// The program as a person starts it: it prints the port name, answers on its
// socket and leaves nothing behind when it is stopped.
TEST(OwsimProgram, ServesUntilTerminatedAndCleansUp) {
    test::TempDir dir;
    std::string socketPath = (dir / "ctl.sock").string();
    std::string linkPath = "/dev/ttyOWSIMT" + std::to_string(getpid());
    std::string program = test::BuiltProgram("flextor-owsim").string();
    int out[2];
    ASSERT_EQ(pipe2(out, O_CLOEXEC), 0);
    pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        execl(program.c_str(), program.c_str(), "--demo", "--sensor", "10:1:-5", "--link",
              linkPath.c_str(), "--control", socketPath.c_str(), nullptr);
        _exit(127);
    }
    close(out[1]);
    std::string port;
    char c;
    pollfd pfd{out[0], POLLIN, 0};
    while (poll(&pfd, 1, 10000) > 0 && read(out[0], &c, 1) == 1 && c != '\n') {
        port.push_back(c);
    }
    close(out[0]);

    EXPECT_EQ(port, linkPath.substr(5));
    EXPECT_TRUE(fs::read_symlink(linkPath).string().starts_with("/dev/pts/"));
    test::RunResult list =
        test::RunProgram(program, {"--control", socketPath, "--command", "list"});
    EXPECT_EQ(list.exit_code, 0);
    EXPECT_EQ(std::count(list.output.begin(), list.output.end(), ' '), 7) << list.output;
    test::RunResult bad = test::RunProgram(program, {"--control", socketPath, "--command", "fly"});
    EXPECT_EQ(bad.exit_code, 1);
    EXPECT_EQ(bad.output, "error unknown command fly\n");

    kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(fs::exists(socketPath));
    EXPECT_FALSE(fs::is_symlink(linkPath));
}

TEST(OwsimProgram, RefusesBadArguments) {
    test::RunResult help = test::RunProgram(test::BuiltProgram("flextor-owsim"), {"--help"});
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_NE(help.output.find("--control"), std::string::npos);
    test::RunResult bad =
        test::RunProgram(test::BuiltProgram("flextor-owsim"), {"--sensor", "28:zz"});
    EXPECT_EQ(bad.exit_code, 2);
    EXPECT_NE(bad.output.find("bad sensor 28:zz"), std::string::npos);
}

}  // namespace
}  // namespace flextor::owsim
