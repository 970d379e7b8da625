#include "core/log/message_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "log_fixture.h"
#include "support/temp_dir.h"

namespace flextor {
namespace {

using test::ReadFile;
using test::RecordingLogView;

const std::string kBom = "\xEF\xBB\xBF";
const std::string kStart = "Начата работа колонки 1 (Ректификация)";

class MessageLogTest : public test::LogTest {
  protected:
    void SetUp() override {
        LogTest::SetUp();
        ProgVar.LogInfo_FileName = (dir / "Log/06_12_2026__18_24_05.log").string();
    }

    std::string LogFile() const { return ReadFile(ProgVar.LogInfo_FileName); }

    // Makes the log folder impossible to create: a plain file stands where it would go.
    void BlockLogFolder() {
        test::WriteFile(dir / "blocked", "x");
        ProgVar.LogInfo_FileName = (dir / "blocked/Log/x.log").string();
    }

    test::TempDir dir;
};

TEST_F(MessageLogTest, StampsRowAndLineWithOneReadingOfTheClock) {
    // Each reading moves the clock on; two readings would give stamps that differ.
    clock.SetStepPerReading(1500);
    AddLogMessage(kStart, kLevelInfo);

    ASSERT_EQ(view.rows.size(), 1u);
    EXPECT_EQ(view.rows[0].text, "[18:24:08]  " + kStart);
    EXPECT_EQ(view.rows[0].level, kLevelInfo);
    EXPECT_EQ(LogFile(), kBom + "[06/12/2026 18:24:08]  " + kStart + "\n");
}

TEST_F(MessageLogTest, FirstMessageMakesTheFolderLaterOnesAppendWithoutSecondMark) {
    AddLogMessage("one", kLevelInfo);
    clock.AdvanceSeconds(61);
    AddLogMessage("two", kLevelError);

    EXPECT_EQ(LogFile(), kBom + "[06/12/2026 18:24:07]  one\n[06/12/2026 18:25:08]  two\n");
    EXPECT_EQ(view.rows[1].text, "[18:25:08]  two");
    EXPECT_EQ(view.rows[1].level, kLevelError);
}

struct FilterCase {
    uint8_t level;
    uint8_t LogSettings::*show;
    uint8_t LogSettings::*file;
};

class MessageLogFilterTest : public MessageLogTest,
                             public ::testing::WithParamInterface<FilterCase> {};

TEST_P(MessageLogFilterTest, EachLevelFollowsItsOwnPairOfSettings) {
    const FilterCase& c = GetParam();
    for (int show = 0; show <= 1; ++show) {
        for (int file = 0; file <= 1; ++file) {
            SCOPED_TRACE(testing::Message() << "show " << show << " file " << file);
            std::filesystem::remove_all(dir / "Log");
            view = RecordingLogView{};
            ResetSettings();
            Settings.Log.*c.show = static_cast<uint8_t>(show);
            Settings.Log.*c.file = static_cast<uint8_t>(file);

            AddLogMessage("message", c.level);

            EXPECT_EQ(view.rows.size(), static_cast<size_t>(show));
            EXPECT_EQ(LogFile().empty(), file == 0);
            // Scrolling follows the window row only; a line in the file does not scroll.
            EXPECT_EQ(view.selectCount, show);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Levels, MessageLogFilterTest,
    ::testing::Values(FilterCase{kLevelInfo, &LogSettings::InfoShow, &LogSettings::InfoFile},
                      FilterCase{kLevelWarning, &LogSettings::WarnShow, &LogSettings::WarnFile},
                      FilterCase{kLevelError, &LogSettings::ErrShow, &LogSettings::ErrFile}));

TEST_F(MessageLogTest, UnknownLevelsAndEmptyTextsLeaveNoTrace) {
    AddLogMessage("level three", 3);
    AddLogMessage("level 255", 255);
    AddLogMessage("", kLevelError);

    EXPECT_TRUE(view.rows.empty());
    EXPECT_EQ(view.selectCount, 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "Log"));
}

TEST_F(MessageLogTest, EmptyFileNameWritesNoFile) {
    ProgVar.LogInfo_FileName.clear();
    AddLogMessage("shown only", kLevelWarning);

    EXPECT_EQ(view.Texts(), std::vector<std::string>{"[18:24:07]  shown only"});
    EXPECT_FALSE(std::filesystem::exists(dir / "Log"));
}

TEST_F(MessageLogTest, FailedAppendAddsWarningRowEvenWhenTheLevelIsHidden) {
    BlockLogFolder();
    Settings.Log.InfoShow = 0;
    AddLogMessage("lost", kLevelInfo);

    ASSERT_EQ(view.rows.size(), 1u);
    EXPECT_EQ(view.rows[0].text, "[18:24:07]  Ошибка записи в лог-файл");
    EXPECT_EQ(view.rows[0].level, kLevelWarning);
    EXPECT_TRUE(view.ShowsNewestRow());
}

TEST_F(MessageLogTest, FailedAppendFollowsTheShownMessageAndIsNotRetried) {
    BlockLogFolder();
    Settings.Log.AutoScroll = 0;
    AddLogMessage("first", kLevelError);

    EXPECT_EQ(view.Texts(), (std::vector<std::string>{"[18:24:07]  first",
                                                      "[18:24:07]  Ошибка записи в лог-файл"}));
    EXPECT_EQ(view.rows[0].level, kLevelError);
    EXPECT_EQ(view.selectCount, 0);

    // Once the folder can be made, the next message goes to the file again.
    std::filesystem::remove(dir / "blocked");
    AddLogMessage("second", kLevelError);
    EXPECT_EQ(ReadFile(ProgVar.LogInfo_FileName), kBom + "[06/12/2026 18:24:07]  second\n");
}

// A damaged port name in a message cannot garble the window or the file.
TEST_F(MessageLogTest, InvalidBytesArriveAsReplacementCharacters) {
    AddLogMessage("Порт tty\xD0\xFF не открыт", kLevelWarning);
    const std::string shown = "Порт tty\xEF\xBF\xBD\xEF\xBF\xBD не открыт";
    EXPECT_EQ(view.Texts(), std::vector<std::string>{"[18:24:07]  " + shown});
    EXPECT_EQ(LogFile(), kBom + "[06/12/2026 18:24:07]  " + shown + "\n");
}

}  // namespace
}  // namespace flextor
