// The README's picture of the main window during a run:
//   FLEXTOR_SCREENSHOT=$PWD/docs/main-window.png xvfb-run -a -s "-screen 0 1280x1024x24"
//   build/tests/tests_ui --gtest_filter=Screenshot.*
// Without the variable the test is skipped.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "core/chart/chart_geometry.h"
#include "core/chart/chart_model.h"
#include "core/logic/format_duration.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"
#include "ui/chart/chart_canvas.h"
#include "ui/gtk_test_support.h"

namespace flextor::test {
namespace {

void FillWithARun(MainWindow& window) {
    window.ShowThresholds();
    const char* temperatures[] = {"24.6 °C", "23.9 °C", "78.4 °C", "91.9 °C", "27.1 °C", "Ошибка"};
    for (int role = 1; role <= 6; ++role) {
        window.SetTemperatureText(role, temperatures[role - 1]);
    }
    window.SetColumnControls(0, 1);
    window.SetStatusText(
        "Текущий режим - 'Работа клапана 2 (Спирт)'. Осталось 2.350 литров. Будет завершено "
        "через " +
        FormatDuration(8460));
    window.SetPwmText("100");
    window.SetHeadsVolumeText("0.300");
    window.SetSpiritVolumeText("0.650");
    window.SetIndicator(1, 4);
    window.SetIndicator(2, 4);
    window.SetIndicator(4, 4);
    window.SetIndicator(7, 4);
    window.SetColumnControls(2, 1);
    window.AppendRow("[18:24:05]  Найдено 5 датчиков", 0);
    window.AppendRow("[18:24:07]  Начата работа колонки 1 (Ректификация)", 0);
    window.AppendRow("[18:24:07]  Начата работа колонки 3 (Брага)", 0);
    window.AppendRow("[18:51:40]  Датчик 6: ошибка чтения", 2);
    window.AppendRow("[19:02:13]  Работа колонки 1 (Ректификация) приостановлена (пауза)", 0);
    window.AppendRow("[19:02:30]  Продолжена работа колонки 1 (Ректификация)", 0);
    window.AppendRow("[19:40:02]  Ошибка записи в лог-файл", 1);
    window.SelectLastRow();
}

// The last minute and a half of the run on the chart: the column holding near
// 78 °C, the still warming, the mash steady; sensor 6 has failed.
void FillTheChart(MainWindow& window) {
    std::copy(std::begin(Settings.Graph.Color), std::end(Settings.Graph.Color),
              Chart.look.colours.begin());
    Chart.look.visible = VisibleSamples(484, 472);
    Chart.history.clear();
    const LocalTime start{2026, 12, 6, 19, 38, 35};
    for (int i = 0; i < Chart.look.visible; ++i) {
        ChartSample sample;
        sample.time = WallSeconds(start) + i;
        sample.temperatures = {static_cast<int16_t>(246 + i % 3),
                               static_cast<int16_t>(239),
                               static_cast<int16_t>(781 + (i / 7) % 4),
                               static_cast<int16_t>(905 + i / 6),
                               static_cast<int16_t>(271),
                               kNoValue};
        Chart.history.push_back(sample);
    }
    window.SetChartPainter([](const Cairo::RefPtr<Cairo::Context>& cr, int w, int h) {
        DrawChartOnCanvas(cr, w, h, Chart.look, Chart.history, LocalTime{2026, 12, 6, 19, 40, 2});
    });
}

TEST(Screenshot, MainWindowDuringARun) {
    const char* path = std::getenv("FLEXTOR_SCREENSHOT");
    if (path == nullptr) {
        GTEST_SKIP() << "set FLEXTOR_SCREENSHOT to a .png path";
    }
    ResetProgramState();
    ResetSettings();
    MainWindow window;
    FillWithARun(window);
    FillTheChart(window);
    ShowAndWait(window, 1004, 684);
    window.LogList().grab_focus();
    window.ThresholdBox(Threshold::kTsa).Entry().select_region(0, 0);
    ShowAndWait(window, 1004, 684);
    auto shot = Gdk::Pixbuf::create(window.get_window(), 0, 0, 1004, 684);
    ASSERT_TRUE(shot);
    shot->save(path, "png");
}

}  // namespace
}  // namespace flextor::test
