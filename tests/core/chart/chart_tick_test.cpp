#include <string>
#include <vector>

#include "chart_fixture.h"

namespace flextor::test {
namespace {

using Messages = std::vector<std::string>;

TEST_F(ChartTest, FirstSampleOnTheFifthNewSecondThenOneASecond) {
    Seconds(kChartWarmUpSeconds);
    EXPECT_TRUE(Chart.history.empty());
    EXPECT_EQ(view.redraws, 0);

    for (int i = 0; i < 10; ++i) {  // the timer runs ten times within each second
        ChartTick();
        clock.Advance(100);
    }
    ASSERT_EQ(Chart.history.size(), 1u);
    EXPECT_EQ(Chart.history[0].time, WallSeconds(LocalTime{2026, 12, 6, 12, 0, 4}));
    EXPECT_EQ(view.redraws, 1);  // no redraw without a new sample

    Seconds(2);
    EXPECT_EQ(Chart.history.size(), 3u);
    EXPECT_EQ(view.redraws, 3);
}

TEST_F(ChartTest, MissingOrFailedSensorsLeaveGapsInTheirTracesOnly) {
    struct Case {
        const char* name;
        void (*spoil)();
        std::array<int16_t, kChartTraces> expected;
    };
    const Case cases[] = {
        {"all reading", [] {}, {100, 200, 300, 400, 500, 600}},
        {"still sensor removed",
         [] { FindSensorByRole(kRoleStill)->Use = kRoleNone; },
         {100, 200, 300, kNoValue, 500, 600}},
        {"read failed",
         [] { FindSensorByRole(kRoleCondenser)->Flag |= kFlagReadFailed; },
         {100, kNoValue, 300, 400, 500, 600}},
        {"in error",
         [] { FindSensorByRole(kRoleMash)->Flag |= kFlagError; },
         {100, 200, 300, 400, kNoValue, 600}},
        {"other flags count",
         [] { FindSensorByRole(kRoleTsa)->Flag |= kFlagFresh; },
         {100, 200, 300, 400, 500, 600}},
        {"port closed",
         [] { ProgVar.Sensors.PortID = 0; },
         {kNoValue, kNoValue, kNoValue, kNoValue, kNoValue, kNoValue}},
    };
    const std::vector<SensorParam> table = ProgVar.Sensors.Sensor;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProgVar.Sensors.Sensor = table;
        ProgVar.Sensors.PortID = 7;
        c.spoil();
        EXPECT_EQ(TakeChartSample(LocalTime{}).temperatures, c.expected);
    }
}

TEST_F(ChartTest, AutoScrollKeepsTheNewestInViewOtherwiseTheViewStays) {
    struct Case {
        bool autoScroll;
        int32_t scrollPos;
    };
    for (const Case c : {Case{true, 13}, Case{false, 0}}) {
        SCOPED_TRACE(c.autoScroll);
        Settings.Graph.AutoScroll = c.autoScroll ? 1 : 0;
        ApplyChartSettings();
        ASSERT_TRUE(InitChart(&view, &exporter));
        Samples(100);
        EXPECT_EQ(Chart.look.scrollPos, c.scrollPos);
        EXPECT_EQ(view.bars.back(), (ScrollBarState{99, 87, c.scrollPos}));
    }
}

TEST_F(ChartTest, ScrollingMovesTheViewAndRedraws) {
    Settings.Graph.AutoScroll = 0;
    ApplyChartSettings();
    Samples(100);
    const int redraws = view.redraws;
    ScrollChart(5);
    EXPECT_EQ(Chart.look.scrollPos, 5);
    EXPECT_EQ(view.redraws, redraws + 1);
    Seconds(1);
    EXPECT_EQ(view.bars.back(), (ScrollBarState{100, 87, 5}));
}

TEST_F(ChartTest, HistoryKeepsTheNewestSamplesUpToItsCapacity) {
    Samples(1);
    const int32_t first = Chart.history.front().time;
    Chart.history.resize(kChartCapacity);
    Seconds(1);
    ASSERT_EQ(Chart.history.size(), kChartCapacity);
    EXPECT_NE(Chart.history.front().time, first);
    EXPECT_EQ(Chart.history.back().time, WallSeconds(LocalTime{2026, 12, 6, 12, 0, 5}));
}

TEST_F(ChartTest, InitSizesTheChartToTheCanvasAndNeedsAView) {
    EXPECT_EQ(Chart.look.visible, 87);
    EXPECT_EQ(view.bars, (std::vector<ScrollBarState>{{0, 87, 0}}));

    EXPECT_FALSE(InitChart(nullptr, &exporter));
    HandleLogMessageEvent();
    ASSERT_EQ(log.rows.size(), 1u);
    EXPECT_NE(log.rows[0].text.find("Неудачная инициализация графика."), std::string::npos);
    EXPECT_EQ(log.rows[0].level, kLevelError);
    Seconds(10);
    EXPECT_TRUE(Chart.history.empty());
}

// Midnight after samples of the finished day.
class ChartDayChangeTest : public ChartTest {
  protected:
    void RecordUntilMidnight(int samples) {
        clock.SetNow(LocalTime{2026, 12, 6, 23, 50, 0});
        Samples(samples);
        view.bars.clear();
        clock.SetNow(kMidnight);
        ChartTick();
        clock.AdvanceSeconds(1);
    }
    static constexpr LocalTime kMidnight{2026, 12, 7, 0, 0, 0};
};

TEST_F(ChartDayChangeTest, OnlyADayOfMoreThan59SamplesIsExported) {
    struct Case {
        const char* name;
        int samples;
        bool newDay;
        bool withExporter;
        bool refuse;
        size_t exports;
        Messages messages;
    };
    const Case cases[] = {
        {"60 samples", 60, true, true, false, 1, {}},
        {"59 samples", 59, true, true, false, 0, {}},
        {"NewDay off", 60, false, true, false, 0, {}},
        {"no exporter", 60, true, false, false, 0, {}},
        {"worker not started",
         60,
         true,
         true,
         true,
         0,
         {"Не удалось создать поток для сохранения графика"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        exporter.exports.clear();
        exporter.refuse = c.refuse;
        Settings.Graph.NewDay = c.newDay ? 1 : 0;
        ApplyChartSettings();
        ASSERT_TRUE(InitChart(&view, c.withExporter ? &exporter : nullptr));
        RecordUntilMidnight(c.samples);

        EXPECT_EQ(exporter.exports.size(), c.exports);
        EXPECT_EQ(Chart.saving, c.exports == 1);
        EXPECT_EQ(TakeMessages(), c.messages);
        // The new day starts with its first sample and the scroll bar reset.
        ASSERT_EQ(Chart.history.size(), 1u);
        EXPECT_EQ(Chart.history[0].time, WallSeconds(kMidnight));
        EXPECT_EQ(view.bars, (std::vector<ScrollBarState>{{0, 87, 0}, {0, 87, 0}}));
        Chart.saving = false;
    }
}

TEST_F(ChartDayChangeTest, TheDayIsHandedOverWholeWithTheLookAndTheNewDaysTime) {
    clock.SetNow(LocalTime{2026, 12, 6, 23, 50, 0});
    Samples(60);
    const ChartSample* oldest = &Chart.history.front();
    clock.SetNow(kMidnight);
    ChartTick();

    ASSERT_EQ(exporter.exports.size(), 1u);
    const RecordingExporter::Export& e = exporter.exports[0];
    ASSERT_EQ(e.day.size(), 60u);
    EXPECT_EQ(&e.day.front(), oldest);  // moved, not copied
    EXPECT_EQ(e.day.back().time, WallSeconds(LocalTime{2026, 12, 6, 23, 51, 3}));
    EXPECT_EQ(e.look.colours[8], -15540206);
    EXPECT_EQ(e.look.visible, 87);
    EXPECT_EQ(FormatDateTime(e.started_at), "07/12/2026 00:00:00");
}

TEST_F(ChartDayChangeTest, WhileSavingTheNewDayRecordsAndTheNextDayIsDropped) {
    RecordUntilMidnight(60);
    ASSERT_TRUE(Chart.saving);
    const int redraws = view.redraws;
    Seconds(100);
    EXPECT_EQ(Chart.history.size(), 101u);
    EXPECT_EQ(view.redraws, redraws + 100);
    ScrollChart(3);
    EXPECT_EQ(Chart.look.scrollPos, 3);

    clock.SetNow(LocalTime{2026, 12, 8, 0, 0, 0});
    ChartTick();
    EXPECT_EQ(exporter.exports.size(), 1u);
    EXPECT_EQ(Chart.history.size(), 1u);
    EXPECT_TRUE(TakeMessages().empty());
}

}  // namespace
}  // namespace flextor::test
