// A port or GPIO file refused for permission is told apart from one that is
// missing, and the advice names both groups. Run in a child without root's
// permission bypass, as a plain user would meet it.
#include "platform/access_advice.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace flextor {
namespace {

namespace fs = std::filesystem;

TEST(AccessAdvice, PermissionIsToldApartFromAbsence) {
    test::TempDir dir;
    struct Case {
        const char* name;
        fs::perms perms;
        bool read_too;
        bool denied;
    };
    const Case cases[] = {
        {"rw", fs::perms::owner_read | fs::perms::owner_write, true, false},
        {"none", fs::perms::none, false, true},
        {"write-only", fs::perms::owner_write, false, false},  // like sysfs export
    };
    for (const Case& c : cases) {
        test::WriteFile(dir / c.name, "");
        fs::permissions(dir / c.name, c.perms);
    }
    fs::create_directories(dir / "gpio");
    test::WriteFile(dir / "gpio/export", "");
    fs::permissions(dir / "gpio/export", fs::perms::owner_read);

    const int code = test::RunInChild([&] {
        if (!test::DropFileBypass() || access((dir / "none").c_str(), W_OK) == 0) {
            return test::kCannotDropBypass;
        }
        for (const Case& c : cases) {
            if (AccessDenied((dir / c.name).string(), c.read_too) != c.denied) {
                return 1;
            }
        }
        if (AccessDenied((dir / "missing").string(), true)) {
            return 2;
        }
        const std::string expected =
            "Нет прав на выводы GPIO (" + dir.str() + "/gpio/export): " + kAccessGroupsAdvice;
        if (GpioAccessAdvice(dir.str() + "/gpio") != expected ||
            !GpioAccessAdvice(dir.str() + "/missing").empty()) {
            return 3;
        }
        return 0;
    });
    if (code == test::kCannotDropBypass) {
        GTEST_SKIP() << "root's permission bypass cannot be dropped here";
    }
    EXPECT_EQ(code, 0);
}

}  // namespace
}  // namespace flextor
