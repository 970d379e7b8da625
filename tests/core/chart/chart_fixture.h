// The chart as its tests see it: a fake clock, a sensor for every role, a view
// and an exporter that record what the chart asked of them.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/chart/chart_control.h"
#include "core/chart/chart_tick.h"
#include "core/log/message_log.h"
#include "core/sensors/find_sensor.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"
#include "support/fake_clock.h"
#include "support/recording_log_view.h"

namespace flextor::test {

struct ScrollBarState {
    int32_t maximum = 0;
    int32_t page = 0;
    int32_t position = 0;
    bool operator==(const ScrollBarState&) const = default;
};

class RecordingChartView final : public ChartView {
  public:
    ChartCanvasSize size{484, 472};
    std::vector<ScrollBarState> bars;
    int redraws = 0;

    ChartCanvasSize CanvasSize() const override { return size; }
    void SetScrollBar(int32_t maximum, int32_t page, int32_t position) override {
        bars.push_back(ScrollBarState{maximum, page, position});
    }
    void QueueRedraw() override { ++redraws; }
};

class RecordingExporter final : public ChartExporter {
  public:
    struct Export {
        ChartHistory day;
        ChartLook look;
        LocalTime started_at;
    };
    std::vector<Export> exports;
    bool refuse = false;  // as if the worker thread could not be created

    bool Start(ChartHistory day, const ChartLook& look, const LocalTime& started_at) override {
        if (refuse) {
            return false;
        }
        exports.push_back(Export{std::move(day), look, started_at});
        return true;
    }
};

class ChartTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetProgramState();
        ResetSettings();
        ResetMessageLog();
        SetLogView(&log);
        Chart.saving = false;
        ProgVar.Sensors.PortID = 7;
        for (uint8_t role = 1; role <= 6; ++role) {
            AddSensor(role, static_cast<int16_t>(100 * role));
        }
        ApplyChartSettings();
        ASSERT_TRUE(InitChart(&view, &exporter));
    }

    void TearDown() override {
        ReleaseChart();
        Chart.saving = false;
        ResetMessageLog();
    }

    void AddSensor(uint8_t role, int16_t termo) {
        SensorParam row;
        row.SN.Type = kFamilyDS18B20;
        row.SN.Number[0] = role;
        row.Use = role;
        row.Termo = termo;
        row.Flag = kFlagTemperatureSensor;
        ProgVar.Sensors.Sensor.push_back(row);
    }

    // n ticks a second apart, the first at the clock's present second.
    void Seconds(int n) {
        for (int i = 0; i < n; ++i) {
            ChartTick();
            clock.AdvanceSeconds(1);
        }
    }
    // The four warm-up seconds, then n samples.
    void Samples(int n) { Seconds(kChartWarmUpSeconds + n); }

    // The posted messages, logged now, without their time stamps.
    std::vector<std::string> TakeMessages() {
        HandleLogMessageEvent();
        std::vector<std::string> texts;
        for (const auto& row : log.rows) {
            texts.push_back(row.text.substr(row.text.find("]  ") + 3));
        }
        log.rows.clear();
        return texts;
    }

    FakeClock clock{LocalTime{2026, 12, 6, 12, 0, 0}};
    ScopedClock scoped_clock{clock};
    RecordingLogView log;
    RecordingChartView view;
    RecordingExporter exporter;
};

}  // namespace flextor::test
