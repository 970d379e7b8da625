// Options.ini: defaults, bad values reported and defaulted, numbers read and
// written with a "." whatever the locale, and the file written whole once.
#include "core/options/options.h"

#include <gtest/gtest.h>

#include <clocale>

#include "base/files/file_io.h"
#include "support/temp_dir.h"

namespace flextor::test {
namespace {

struct OptionsCase {
    const char* text;
    const char* problem;  // the start of the one problem expected; "" for none
    bool resume;
    int heat_minutes;
    double step_limit;
    int freeze_seconds = kDefaultFreezeSeconds;
};

TEST(OptionsTest, ValuesAreReadOrReportedAndDefaulted) {
    const OptionsCase cases[] = {
        {"", "", false, 30, 15.0},
        {"[Resume]\nEnabled = 1\n[Checks]\nHeatMinutes = 45\nStepLimit = 7.5\n", "", true, 45, 7.5},
        {"[checks]\nsteplimit = 7,5\n", "", false, 30, 7.5},
        {"[Resume]\nEnabled = 2\n",
         "Options.ini: [Resume] Enabled = 2 вне допустимых пределов 0..1", false, 30, 15.0},
        {"[Checks]\nHeatMinutes = 0\n",
         "Options.ini: [Checks] HeatMinutes = 0 вне допустимых пределов 1..600, используется 30",
         false, 30, 15.0},
        {"[Checks]\nHeatMinutes = 12abc\n", "Options.ini: [Checks] HeatMinutes = 12abc", false, 30,
         15.0},
        {"[Checks]\nStepLimit = nan\n", "Options.ini: [Checks] StepLimit = nan", false, 30, 15.0},
        {"[Guard]\nFreezeSeconds = 40\n", "", false, 30, 15.0, 40},
        // At most the program's own hang watchdog (10 s): a hang must restart it first.
        {"[Guard]\nFreezeSeconds = 10\n",
         "Options.ini: [Guard] FreezeSeconds = 10 вне допустимых пределов 11..600, используется 15",
         false, 30, 15.0},
    };
    for (const OptionsCase& c : cases) {
        const OptionsLoad load = ParseOptions(c.text);
        EXPECT_EQ(load.options.resume.enabled, c.resume) << c.text;
        EXPECT_EQ(load.options.checks.heat_minutes, c.heat_minutes) << c.text;
        EXPECT_DOUBLE_EQ(load.options.checks.step_limit, c.step_limit) << c.text;
        EXPECT_EQ(load.options.guard.freeze_seconds, c.freeze_seconds) << c.text;
        if (*c.problem == '\0') {
            EXPECT_TRUE(load.problems.empty()) << c.text << load.problems.front();
        } else {
            ASSERT_EQ(load.problems.size(), 1u) << c.text;
            EXPECT_TRUE(load.problems[0].starts_with(c.problem)) << load.problems[0];
        }
    }
}

TEST(OptionsTest, TheFileIsWrittenWholeOnceAndReadBackUnderADecimalComma) {
    TempDir dir;
    const std::string path = dir.str() + "/Options.ini";
    WriteFile(path, "[Checks]\nHeatRise = 3.5\n");
    static_cast<void>(std::setlocale(LC_NUMERIC, "ru_RU.UTF-8"));
    const OptionsLoad first = LoadOptions(path);
    EXPECT_TRUE(first.incomplete);
    std::string text;
    ASSERT_TRUE(ReadWholeFile(path, text));
    EXPECT_NE(text.find("HeatRise = 3.5\n"), std::string::npos) << text;
    EXPECT_NE(text.find("ActiveLow = 0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[Guard]\nFreezeSeconds = 15\n"), std::string::npos) << text;
    const OptionsLoad again = LoadOptions(path);
    EXPECT_FALSE(again.incomplete);
    EXPECT_DOUBLE_EQ(again.options.checks.heat_rise, 3.5);
    EXPECT_EQ(OptionsText(again.options), text);
    std::setlocale(LC_NUMERIC, "C");
}

}  // namespace
}  // namespace flextor::test
