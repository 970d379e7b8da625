// The chart tick with a fake clock, a sensor per role and a view and an exporter
// that record what the chart asked of them.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "core/chart/chart_control.h"
#include "core/chart/chart_tick.h"
#include "core/log/message_log.h"
#include "core/sensors/find_sensor.h"
#include "core/settings/settings.h"
#include "support/fake_clock.h"
#include "support/recording_log_view.h"

namespace flextor::test {
namespace {

using Bar = std::array<int32_t, 3>;  // maximum, page, position

struct RecordingView final : ChartView {
    std::vector<Bar> bars;
    int redraws = 0;
    ChartCanvasSize CanvasSize() const override { return {484, 472}; }
    void SetScrollBar(int32_t max, int32_t page, int32_t pos) override {
        bars.push_back({max, page, pos});
    }
    void QueueRedraw() override { ++redraws; }
};

struct RecordingExporter final : ChartExporter {
    std::vector<std::pair<ChartHistory, ChartLook>> days;
    std::string started_at;
    bool refuse = false;  // as if the worker thread could not be created
    bool Start(ChartHistory day, const ChartLook& look, const LocalTime& at) override {
        started_at = FormatDateTime(at);
        if (!refuse) {
            days.emplace_back(std::move(day), look);
        }
        return !refuse;
    }
};

class ChartTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetProgramState();
        ResetSettings();
        ResetMessageLog();
        SetLogView(&log);
        ProgVar.Sensors.PortID = 7;
        for (uint8_t role = 1; role <= 6; ++role) {
            SensorParam row;
            row.SN.Number[0] = row.Use = role;
            row.SN.Type = kFamilyDS18B20;
            row.Termo = static_cast<int16_t>(100 * role);
            row.Flag = kFlagTemperatureSensor;
            ProgVar.Sensors.Sensor.push_back(row);
        }
        Start(true, true);
    }
    void TearDown() override {
        ReleaseChart();
        Chart.saving = false;
        ResetMessageLog();
    }
    void Start(bool newDay, bool autoScroll, bool withExporter = true) {
        Settings.Graph.NewDay = newDay;
        Settings.Graph.AutoScroll = autoScroll;
        ApplyChartSettings();
        ASSERT_TRUE(InitChart(&view, withExporter ? &exporter : nullptr));
    }
    // n ticks a second apart, the first at the clock's present second.
    void Seconds(int n) {
        for (int i = 0; i < n; ++i, clock.AdvanceSeconds(1)) {
            ChartTick();
        }
    }
    // The warm-up and n samples before midnight, then the new day's first tick.
    void DayOf(int n) {
        clock.SetNow(LocalTime{2026, 12, 6, 23, 50, 0});
        Seconds(kChartWarmUpSeconds + n);
        clock.SetNow(LocalTime{2026, 12, 7, 0, 0, 0});
        Seconds(1);
    }

    FakeClock clock{LocalTime{2026, 12, 6, 12, 0, 0}};
    ScopedClock scoped_clock{clock};
    RecordingLogView log;
    RecordingView view;
    RecordingExporter exporter;
};

TEST_F(ChartTest, FirstSampleOnTheFifthNewSecondThenOneASecond) {
    Seconds(kChartWarmUpSeconds);
    EXPECT_TRUE(Chart.history.empty());
    for (int i = 0; i < 10; ++i, clock.Advance(100)) {  // ten ticks within one second
        ChartTick();
    }
    ASSERT_EQ(Chart.history.size(), 1u);
    EXPECT_EQ(Chart.history[0].time, WallSeconds(LocalTime{2026, 12, 6, 12, 0, 4}));
    EXPECT_EQ(view.redraws, 1);  // no redraw without a new sample
}

TEST_F(ChartTest, MissingOrFailedSensorsLeaveGapsInTheirTracesOnly) {
    FindSensorByRole(kRoleStill)->Use = kRoleNone;
    FindSensorByRole(kRoleCondenser)->Flag |= kFlagReadFailed;
    FindSensorByRole(kRoleMash)->Flag |= kFlagError;
    FindSensorByRole(kRoleTsa)->Flag |= kFlagFresh;
    using Traces = std::array<int16_t, kChartTraces>;
    EXPECT_EQ(TakeChartSample({}).temperatures,
              (Traces{100, kNoValue, 300, kNoValue, kNoValue, 600}));
    ProgVar.Sensors.PortID = 0;
    Traces none;
    none.fill(kNoValue);
    EXPECT_EQ(TakeChartSample({}).temperatures, none);
}

TEST_F(ChartTest, AutoScrollFollowsTheNewestOtherwiseOnlyTheMaximumGrows) {
    for (const auto& [autoScroll, scrollPos] : {std::pair{true, 13}, std::pair{false, 0}}) {
        Start(true, autoScroll);
        Seconds(kChartWarmUpSeconds + 100);
        EXPECT_EQ(Chart.look.scrollPos, scrollPos);
        EXPECT_EQ(view.bars.back(), (Bar{99, 87, scrollPos}));
    }
}

TEST_F(ChartTest, HistoryKeepsTheNewestSamplesUpToItsCapacity) {
    Seconds(kChartWarmUpSeconds + 1);
    Chart.history.clear();
    for (int32_t t = 1; t <= static_cast<int32_t>(kChartCapacity); ++t) {
        Chart.history.push_back(ChartSample{{}, t});
    }
    Seconds(1);
    ASSERT_EQ(Chart.history.size(), kChartCapacity);
    EXPECT_EQ(Chart.history.front().time, 2);
    EXPECT_EQ(Chart.history.back().time, WallSeconds(LocalTime{2026, 12, 6, 12, 0, 5}));
}

TEST_F(ChartTest, AtMidnightOnlyADayOfMoreThan59SamplesIsExported) {
    struct Case {
        int samples;
        bool newDay, withExporter, refuse;
        size_t exported, messages;
    };
    for (const Case& c : {Case{60, true, true, false, 1, 0}, Case{59, true, true, false, 0, 0},
                          Case{60, false, true, false, 0, 0}, Case{60, true, false, false, 0, 0},
                          Case{60, true, true, true, 0, 1}}) {
        SCOPED_TRACE(testing::Message() << c.samples << c.newDay << c.withExporter << c.refuse);
        exporter.days.clear();
        exporter.refuse = c.refuse;
        Start(c.newDay, true, c.withExporter);
        DayOf(c.samples);
        EXPECT_EQ(exporter.days.size(), c.exported);
        EXPECT_EQ(Chart.saving, c.exported == 1);
        HandleLogMessageEvent();
        EXPECT_EQ(log.rows.size(), c.messages);
        // The new day starts at once with its first sample and the scroll bar reset.
        EXPECT_EQ(Chart.history.size(), 1u);
        EXPECT_EQ(view.bars.rbegin()[1], (Bar{0, 87, 0}));
        Chart.saving = false;
    }
    ASSERT_EQ(log.rows.size(), 1u);
    EXPECT_EQ(log.rows[0].text.substr(12), "Не удалось создать поток для сохранения графика");
    EXPECT_EQ(log.rows[0].level, kLevelError);
}

TEST_F(ChartTest, TheDayIsMovedToTheExporterAndTheNextOneRecordedWhileItSaves) {
    clock.SetNow(LocalTime{2026, 12, 6, 23, 50, 0});
    Seconds(kChartWarmUpSeconds + 1);
    const ChartSample* oldest = &Chart.history.front();
    Seconds(59);
    clock.SetNow(LocalTime{2026, 12, 7, 0, 0, 0});
    Seconds(100);

    ASSERT_EQ(exporter.days.size(), 1u);
    const auto& [day, look] = exporter.days[0];
    ASSERT_EQ(day.size(), 60u);
    EXPECT_EQ(&day.front(), oldest);  // moved, not copied
    EXPECT_EQ(look.colours[8], -15540206);
    EXPECT_EQ(look.visible, 87);
    EXPECT_EQ(exporter.started_at, "07/12/2026 00:00:00");
    EXPECT_EQ(Chart.history.size(), 100u);  // recorded while the export runs

    clock.SetNow(LocalTime{2026, 12, 8, 0, 0, 0});
    Seconds(1);
    EXPECT_EQ(exporter.days.size(), 1u);  // a second export is not started: the day is dropped
    EXPECT_EQ(Chart.history.size(), 1u);
}

}  // namespace
}  // namespace flextor::test
