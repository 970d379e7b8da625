#include "platform/gpio/sysfs_gpio.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/fake_gpio_folder.h"
#include "support/temp_dir.h"

namespace flextor {
namespace {

using test::FakeGpioFolder;

TEST(ControllerBase, FoundFromThePisControllerLabelOnly) {
    {
        FakeGpioFolder none;
        EXPECT_EQ(FindControllerBase(none.root()), 0);
    }
    {
        FakeGpioFolder pi5(571, "pinctrl-rp1");
        pi5.AddChip("gpiochip512", "gpio-brcmstb@107d508500", "512\n");
        EXPECT_EQ(FindControllerBase(pi5.root()), 571);
    }
    {
        FakeGpioFolder pi3(512, "pinctrl-bcm2835");
        EXPECT_EQ(FindControllerBase(pi3.root()), 512);
    }
    {
        // Only another chip (the Pi 4's firmware expander) and a malformed base.
        FakeGpioFolder others;
        others.AddChip("gpiochip570", "raspberrypi-exp-gpio", "570\n");
        others.AddChip("gpiochip600", "pinctrl-bcm2711", "6x0\n");
        EXPECT_EQ(FindControllerBase(others.root()), 0);
    }
    EXPECT_EQ(FindControllerBase("/nonexistent/gpio"), 0);
}

TEST(SysfsFile, WritesAtTheStartWithoutLineEnd) {
    test::TempDir dir;
    test::WriteFile(dir / "value", "0");
    EXPECT_TRUE(WriteSysfsFile((dir / "value").string(), "1"));
    EXPECT_EQ(test::ReadFile(dir / "value"), "1");

    // A plain folder standing in for sysfs gets the missing file; a missing folder fails.
    EXPECT_TRUE(WriteSysfsFile((dir / "export").string(), "516"));
    EXPECT_EQ(test::ReadFile(dir / "export"), "516");
    EXPECT_FALSE(WriteSysfsFile((dir / "gpio4/direction").string(), "out"));
}

TEST(GpioRoot, TakenFromTheEnvironment) {
    ASSERT_EQ(setenv("FLEXTOR_GPIO_ROOT", "/tmp/fake-gpio", 1), 0);
    EXPECT_EQ(GpioRootFromEnvironment(), "/tmp/fake-gpio");
    ASSERT_EQ(setenv("FLEXTOR_GPIO_ROOT", "", 1), 0);
    EXPECT_EQ(GpioRootFromEnvironment(), "/sys/class/gpio");
    unsetenv("FLEXTOR_GPIO_ROOT");
    EXPECT_EQ(GpioRootFromEnvironment(), "/sys/class/gpio");
}

}  // namespace
}  // namespace flextor
