#include "core/settings/settings_autosave.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "settings_fixture.h"

namespace flextor {
namespace {

using test::ReadFile;

class SettingsAutoSaveTest : public test::SettingsTest {
  protected:
    // One logic cycle; true when it wrote the file (which is then taken away,
    // so that the next write shows again).
    bool TickWrote() {
        SettingsAutoSaveTick(SettingsPath());
        if (!std::filesystem::exists(SettingsPath())) {
            return false;
        }
        last_written = ReadFile(SettingsPath());
        std::filesystem::remove(SettingsPath());
        return true;
    }

    std::string last_written;
};

TEST_F(SettingsAutoSaveTest, NothingIsSavedUntilAChange) {
    for (int tick = 0; tick < 30; ++tick) {
        EXPECT_FALSE(TickWrote());
    }
    EXPECT_EQ(SaveCounter, 100);
}

TEST_F(SettingsAutoSaveTest, BurstOfEditsIsWrittenOnceTenSecondsAfterTheLast) {
    // Five edits of a threshold within three logic cycles.
    for (int16_t limit : {801, 802}) {
        Settings.WinMain.d3_Limit = limit;
        RestartSettingsSaveDelay();
    }
    EXPECT_FALSE(TickWrote());
    Settings.WinMain.d3_Limit = 803;
    RestartSettingsSaveDelay();
    EXPECT_FALSE(TickWrote());
    for (int16_t limit : {804, 805}) {
        Settings.WinMain.d3_Limit = limit;
        RestartSettingsSaveDelay();
    }

    // SaveCounter reaches 10 after ten cycles; the eleventh writes.
    for (int tick = 1; tick <= 10; ++tick) {
        EXPECT_FALSE(TickWrote()) << "cycle " << tick;
    }
    EXPECT_TRUE(TickWrote());
    EXPECT_NE(last_written.find("d3_Limit = 805\n"), std::string::npos);
    for (int tick = 0; tick < 30; ++tick) {
        EXPECT_FALSE(TickWrote());
    }
    EXPECT_EQ(SaveCounter, 11);
}

TEST_F(SettingsAutoSaveTest, FailedSaveIsNotRetriedUntilTheNextChange) {
    std::string unwritable = (folder / "missing" / "Setting.ini").string();
    SaveCounter = 10;
    for (int tick = 0; tick < 20; ++tick) {
        SettingsAutoSaveTick(unwritable);
    }
    EXPECT_EQ(WarningsEndingWith("Не удалось сохранить настройки в файле"), 1);
}

TEST_F(SettingsAutoSaveTest, ShutdownSavesOnlyWhileASaveIsPending) {
    SaveSettingsIfPending(SettingsPath());
    EXPECT_FALSE(std::filesystem::exists(SettingsPath()));

    RestartSettingsSaveDelay();
    SaveSettingsIfPending(SettingsPath());
    EXPECT_TRUE(std::filesystem::exists(SettingsPath()));

    std::filesystem::remove(SettingsPath());
    SaveCounter = 10;
    SaveSettingsIfPending(SettingsPath());
    EXPECT_TRUE(std::filesystem::exists(SettingsPath()));

    std::filesystem::remove(SettingsPath());
    SaveCounter = 11;  // the delayed save has already been made
    SaveSettingsIfPending(SettingsPath());
    EXPECT_FALSE(std::filesystem::exists(SettingsPath()));
}

}  // namespace
}  // namespace flextor
