// A Setting.ini that cannot be read or is damaged: reported once the log is
// ready, and kept as Setting.ini.bad before the next save can replace it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "core/settings/settings_file.h"
#include "core/settings/settings_load_report.h"
#include "core/settings/settings_preservation.h"
#include "settings_fixture.h"
#include "support/child_process.h"

namespace flextor {
namespace {

using test::ReadFile;
using test::WriteFile;
namespace fs = std::filesystem;

const std::string kOperatorFile =
    "\xEF\xBB\xBF\n[Sensor]\nSensorsCount = 2\nID_1 = 42\nUse_1 = 3\nID_2 = 43\nUse_2 = 4\n"
    "[WinMain]\nd1_Limit = 950\n";

class SettingsLoadProblemsTest : public test::SettingsTest {
  protected:
    std::string Kept(const std::string& suffix = ".bad") const {
        return ReadFile(folder / ("Setting.ini" + suffix));
    }
    bool HasKept(const std::string& suffix = ".bad") const {
        return fs::exists(fs::symlink_status(folder / ("Setting.ini" + suffix)));
    }
    // Texts of the window rows at level.
    std::vector<std::string> Rows(uint8_t level) const {
        std::vector<std::string> texts;
        for (const test::RecordingLogView::Row& row : log_view.rows) {
            if (row.level == level) {
                texts.push_back(row.text);
            }
        }
        return texts;
    }
    // Loads the file; returns what went to the standard error.
    std::string Load() {
        testing::internal::CaptureStderr();
        LoadSettings(SettingsPath());
        return testing::internal::GetCapturedStderr();
    }
    // One threshold typed on the main window, saved as the delayed save would.
    bool SaveAfterOneThreshold() {
        Settings.WinMain.d2_Limit = 777;
        return SaveSettings(SettingsPath());
    }
};

struct DamagedFileCase {
    const char* what;
    std::string bytes;
    const char* reason;
};

const DamagedFileCase kDamaged[] = {
    {"a second [Sensor] group", kOperatorFile + "[Sensor]\n",
     "группа [Sensor] повторяется в строке 10"},
    {"negative count", "[Sensor]\nSensorsCount = -1\nID_1 = 42\n",
     "отрицательное число датчиков SensorsCount"},
    {"garbage", kOperatorFile + "\x13\x37garbage", "в строке 10 байты, не являющиеся текстом"},
};

TEST_F(SettingsLoadProblemsTest, DamagedFileIsReportedAndKeptBeforeTheFirstSave) {
    for (const DamagedFileCase& c : kDamaged) {
        SCOPED_TRACE(c.what);
        ResetSettings();
        log_view.rows.clear();
        fs::remove(folder / "Setting.ini.bad");
        WriteFile(folder / "Setting.ini", c.bytes);

        const std::string printed = Load();
        EXPECT_TRUE(log_view.rows.empty());  // not before the log is ready
        ReportSettingsFindings();
        ASSERT_EQ(Rows(kLevelWarning).size(), 1u);
        const std::string text = "Файл настроек " + SettingsPath() + " повреждён: " + c.reason +
                                 ", прочитано то, что удалось";
        EXPECT_TRUE(Rows(kLevelWarning)[0].ends_with(text)) << Rows(kLevelWarning)[0];
        EXPECT_EQ(printed, "flextor: " + text + "\n");

        ASSERT_TRUE(SaveAfterOneThreshold());
        EXPECT_EQ(Kept(), c.bytes);
        EXPECT_NE(ReadFile(folder / "Setting.ini").find("d2_Limit = 777\n"), std::string::npos);
        EXPECT_EQ(WarningsEndingWith("сохранён как " + SettingsPath() + ".bad"), 1);

        // Kept once: later saves replace the new file as always.
        ASSERT_TRUE(SaveAfterOneThreshold());
        EXPECT_EQ(Kept(), c.bytes);
        EXPECT_FALSE(HasKept(".bad-2"));
    }
}

TEST_F(SettingsLoadProblemsTest, AnEarlierKeptFileIsNeverOverwritten) {
    WriteFile(folder / "Setting.ini.bad", "first damaged file");
    WriteFile(folder / "Setting.ini.bad-2", "second damaged file");
    WriteFile(folder / "Setting.ini", "[Sensor]\n[Sensor]\n");
    Load();
    ASSERT_TRUE(SaveAfterOneThreshold());
    EXPECT_EQ(Kept(), "first damaged file");
    EXPECT_EQ(Kept(".bad-2"), "second damaged file");
    EXPECT_EQ(Kept(".bad-3"), "[Sensor]\n[Sensor]\n");
}

TEST_F(SettingsLoadProblemsTest, SoundOrMissingFilesAreNeitherReportedNorKept) {
    Load();
    ASSERT_TRUE(SaveAfterOneThreshold());
    Load();
    ASSERT_TRUE(SaveAfterOneThreshold());
    ReportSettingsFindings();
    EXPECT_TRUE(log_view.rows.empty());
    EXPECT_FALSE(HasKept());
}

struct UnreadableFileCase {
    const char* what;
    std::function<void(const fs::path&)> make;
    const char* reason;
};

// A FIFO in place of the file once held the start for good; each case loads in a
// child first, so that a load that blocks fails the test instead of hanging it.
const UnreadableFileCase kUnreadable[] = {
    {"a FIFO", [](const fs::path& path) { mkfifo(path.c_str(), 0644); },
     "Не удалось прочитать файл настроек "},
    {"a folder", [](const fs::path& path) { fs::create_directory(path); },
     "Не удалось прочитать файл настроек "},
    {"a huge file",
     [](const fs::path& path) {
         WriteFile(path, "[WinMain]\nd1_Limit = 5\n");
         fs::resize_file(path, 17 * 1024 * 1024);
     },
     "повреждён: слишком большой файл"},
};

TEST_F(SettingsLoadProblemsTest, WhatIsNoRegularFileOrTooLargeIsNotReadAndDoesNotBlock) {
    for (const UnreadableFileCase& c : kUnreadable) {
        SCOPED_TRACE(c.what);
        ResetSettings();
        log_view.rows.clear();
        c.make(folder / "Setting.ini");
        auto load = [&] {
            Load();
            return Settings.WinMain.d1_Limit == 900 ? 0 : 1;
        };
        ASSERT_EQ(test::RunInChild(load, std::chrono::seconds(5)), 0);

        ASSERT_EQ(load(), 0);
        ReportSettingsFindings();
        ASSERT_EQ(Rows(kLevelError).size(), 1u);
        EXPECT_NE(Rows(kLevelError)[0].find(c.reason), std::string::npos) << Rows(kLevelError)[0];
        EXPECT_TRUE(Rows(kLevelError)[0].ends_with(", приняты настройки по умолчанию"));

        ASSERT_TRUE(SaveAfterOneThreshold());
        EXPECT_TRUE(HasKept());
        EXPECT_TRUE(fs::is_regular_file(folder / "Setting.ini"));
        fs::remove_all(folder / "Setting.ini.bad");
        fs::remove_all(folder / "Setting.ini");
    }
}

// 400,000 sensor rows once kept the window away for minutes: lookups were linear.
TEST_F(SettingsLoadProblemsTest, FileWithFourHundredThousandIdsLoads) {
    const int rows = 400000;
    std::string text = "\xEF\xBB\xBF\n[Sensor]\nSensorsCount = " + std::to_string(rows) + "\n";
    for (int n = 1; n <= rows; ++n) {
        text += "ID_" + std::to_string(n) + " = " + std::to_string(1000000000 + n) + "\n";
    }
    WriteFile(folder / "Setting.ini", text);
    Load();
    ASSERT_EQ(SettingSensors.size(), static_cast<size_t>(rows));
    EXPECT_EQ(SettingSensors.front().ID, 1000000001);
    EXPECT_EQ(SettingSensors.back().ID, 1000000000 + rows);
}

// The tester's case: the file at mode 000, root's bypass dropped, one threshold
// typed; the sensor table used to be replaced by the defaults.
TEST_F(SettingsLoadProblemsTest, UnreadableFileIsKeptBeforeTheFirstSave) {
    WriteFile(folder / "Setting.ini", kOperatorFile);
    fs::permissions(folder / "Setting.ini", fs::perms::none);
    int code = test::RunInChild([&] {
        if (!test::DropFileBypass() || access(SettingsPath().c_str(), R_OK) == 0) {
            return test::kCannotDropBypass;
        }
        Load();
        ReportSettingsFindings();
        if (Rows(kLevelError).size() != 1 || !SettingSensors.empty()) {
            return 1;
        }
        return SaveAfterOneThreshold() ? 0 : 2;
    });
    if (code == test::kCannotDropBypass) {
        GTEST_SKIP() << "root's permission bypass cannot be dropped here";
    }
    ASSERT_EQ(code, 0);
    EXPECT_EQ(Kept(), kOperatorFile);
    EXPECT_NE(ReadFile(folder / "Setting.ini").find("d2_Limit = 777\n"), std::string::npos);
}

// Where the old file can be neither linked nor moved, it is not replaced either.
TEST_F(SettingsLoadProblemsTest, FileThatCannotBeKeptIsNotReplaced) {
    WriteFile(folder / "Setting.ini", "[Sensor]\nSensorsCount = -1\n");
    fs::permissions(folder.path(), fs::perms::owner_read | fs::perms::owner_exec);
    int code = test::RunInChild([&] {
        if (!test::DropFileBypass() || access(folder.str().c_str(), W_OK) == 0) {
            return test::kCannotDropBypass;
        }
        Load();
        if (SaveAfterOneThreshold()) {
            return 1;
        }
        return WarningsEndingWith(
                   "Не удалось сохранить прежний файл настроек, настройки не записаны") == 1
                   ? 0
                   : 2;
    });
    fs::permissions(folder.path(), fs::perms::owner_all);
    if (code == test::kCannotDropBypass) {
        GTEST_SKIP() << "root's permission bypass cannot be dropped here";
    }
    ASSERT_EQ(code, 0);
    EXPECT_EQ(ReadFile(folder / "Setting.ini"), "[Sensor]\nSensorsCount = -1\n");
    EXPECT_FALSE(HasKept());
}

TEST_F(SettingsLoadProblemsTest, LeftoverTemporariesAreRemovedAndReported) {
    WriteFile(folder / "Setting.ini.tmp-q1W2e3", "cut short");
    WriteFile(folder / "Setting.ini.tmp-R4t5Y6", "cut short");
    testing::internal::CaptureStderr();
    RemoveLeftoverSettingsFiles(SettingsPath());
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(fs::exists(folder / "Setting.ini.tmp-q1W2e3"));
    ReportSettingsFindings();
    ASSERT_EQ(Rows(kLevelInfo).size(), 1u);
    EXPECT_TRUE(Rows(kLevelInfo)[0].ends_with(": 2"));
}

}  // namespace
}  // namespace flextor
