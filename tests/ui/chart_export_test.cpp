// The day's export: the dated folder, the pages, their messages and the PNG
// files read back.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "chart_pixels.h"
#include "core/log/message_log.h"
#include "support/recording_log_view.h"
#include "support/temp_dir.h"
#include "ui/chart/png_chart_exporter.h"

namespace flextor::test {
namespace {

constexpr LocalTime kLastSecond{2026, 12, 6, 23, 59, 59};
constexpr LocalTime kMidnight{2026, 12, 7, 0, 0, 1};
const char kStarted[] = "Начато сохранение графика";
const char kFinished[] = "Сохранение графика завершено";

class ChartExport : public testing::Test {
  protected:
    void SetUp() override { ResetMessageLog(); }
    void TearDown() override { ResetMessageLog(); }

    // Exports a day of samples as the chart tick would at midnight; the
    // messages it posted, without their time stamps.
    std::vector<std::string> Export(size_t samples) {
        Chart.saving = true;
        {
            PngChartExporter exporter(dir_.str() + "/");
            EXPECT_TRUE(exporter.Start(Samples(samples, kLastSecond), kDefaultLook, kMidnight));
            exporter.Wait();
        }
        EXPECT_FALSE(Chart.saving);
        RecordingLogView view;
        SetLogView(&view);
        HandleLogMessageEvent();
        SetLogView(nullptr);
        std::vector<std::string> texts;
        for (const RecordingLogView::Row& row : view.rows) {
            texts.push_back(row.text.substr(row.text.find("]  ") + 3));
            levels_.push_back(row.level);
        }
        return texts;
    }

    std::filesystem::path Folder() const { return dir_ / "График" / "07_12_2026__00_00_01"; }

    std::set<std::string> Files() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(Folder())) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    std::optional<ChartPixels> Page(int number) const {
        return ReadPng((Folder() / (std::to_string(number) + ".png")).string());
    }

    TempDir dir_;
    std::vector<uint8_t> levels_;
};

std::string Saved(int number) {
    return "График успешно сохранен в файле " + std::to_string(number) + ".png";
}

TEST_F(ChartExport, SixtySamplesMakeOnePage450WideInAFolderOfTheNewDay) {
    EXPECT_EQ(Export(60), (std::vector<std::string>{kStarted, Saved(1), kFinished}));
    EXPECT_EQ(levels_, (std::vector<uint8_t>{0, 0, 0}));
    ASSERT_EQ(Files(), std::set<std::string>{"1.png"});
    const std::optional<ChartPixels> page = Page(1);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->width, 450);
    EXPECT_EQ(page->height, 472);
    const int newest = 27 + 450 - 53, oldest = newest - 59 * 5;
    const std::vector<int> trace = page->ColumnsOf(kDefaultLook.colours[8], 270, 28, newest + 1);
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(trace.front(), oldest);
    EXPECT_EQ(trace.back(), newest);
    EXPECT_EQ(page->At(oldest - 1, 270), kDefaultLook.colours[0]);
    EXPECT_GT(page->Count(kDefaultLook.colours[2], 70, 0, 140, 40, 32), 0) << "the dates";
}

TEST_F(ChartExport, AFileNamedLikeTheChartFolderStopsTheSaveWithAWarning) {
    WriteFile(dir_ / "График", "not a folder");
    EXPECT_EQ(Export(60),
              std::vector<std::string>{"Не удалось создать папку для сохранения графика"});
    EXPECT_EQ(levels_, std::vector<uint8_t>{1});
}

TEST_F(ChartExport, A1000SampleDayMakesPage2FullWidthAndPage1OfTheRest) {
    EXPECT_EQ(Export(1000), (std::vector<std::string>{kStarted, Saved(2), Saved(1), kFinished}));
    const std::optional<ChartPixels> newer = Page(2), older = Page(1);
    ASSERT_TRUE(newer && older);
    EXPECT_EQ(newer->width, 4000);
    EXPECT_EQ(older->width, 5 * 209 + 52);
    // Page 1 holds samples 0..208, the ones page 2 could not show: its newest at the
    // right edge, its oldest 208 steps left.
    const int newest = 27 + older->width - 53;
    const std::vector<int> trace = older->ColumnsOf(kDefaultLook.colours[8], 270, 28, newest + 1);
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(trace.front(), newest - 208 * 5);
    EXPECT_EQ(trace.back(), newest);
}

TEST_F(ChartExport, AWholeDayWritesEveryPage) {
    const std::vector<std::string> messages = Export(86400);
    std::set<std::string> expected;
    for (int number = 110; number >= 1; --number) {  // 109 full pages of 791, then 181
        expected.insert(std::to_string(number) + ".png");
        EXPECT_EQ(messages[static_cast<size_t>(111 - number)], Saved(number));
    }
    EXPECT_EQ(Files(), expected);
    EXPECT_EQ(messages.back(), kFinished);
    const std::optional<ChartPixels> oldest = Page(1);
    ASSERT_TRUE(oldest);
    EXPECT_EQ(oldest->width, 5 * 181 + 52);
}

}  // namespace
}  // namespace flextor::test
