#include "ui/main_window/main_window.h"

#include <cstdio>
#include <string>

#include "base/diagnostics/source_position.h"
#include "core/version.h"
#include "ui/images/embedded_images.h"
#include "ui/widgets/style.h"

namespace flextor {

namespace {

constexpr int kWindowWidth = 1004;
constexpr int kWindowHeight = 684;

}  // namespace

MainWindow::MainWindow() {
    InstallStyle();
    if (!LoadEmbeddedImages()) {
        // The lamps and log marks then show no picture; everything else works.
        std::fprintf(stderr, "flextor: the built-in images could not be decoded\n");
    }
    set_title(kMainWindowTitle);
    set_resizable(false);
    set_size_request(kWindowWidth, kWindowHeight);

    for (int kind = 0; kind < static_cast<int>(lamps_.size()); ++kind) {
        lamps_[kind].set_name("Lamp" + std::to_string(kind));
    }
    for (Gtk::Entry& field : temperatures_) {
        field.get_style_context()->add_class(kTemperatureClass);
    }
    BuildMenuBar();
    client_.set_name("ClientArea");
    root_.pack_start(menu_bar_, Gtk::PACK_SHRINK);
    root_.pack_start(client_, Gtk::PACK_EXPAND_WIDGET);
    fit_.Add(*this, root_);
    // The screen's top-left corner; on a screen too small for the window, that of
    // its work area, clear of a panel.
    if (fit_.Scrolled()) {
        move(fit_.Area().get_x(), fit_.Area().get_y());
    } else {
        move(0, 0);
    }

    BuildAlarmPanel();
    BuildColumn1Panel();
    BuildColumn2Panel();
    BuildColumn3Panel();
    BuildRightHalf();
    BuildPopupMenus();
    BuildRoleMenu();
    ConnectControls();
    root_.show_all();

    // Every lamp off and the columns' controls stopped, as after a stop command
    // (which also empties the PWM field).
    for (int kind = 0; kind < static_cast<int>(lamps_.size()); ++kind) {
        SetIndicator(kind, kLampOff);
    }
    for (int column = 0; column < 3; ++column) {
        SetColumnControls(column, kControlsStopped);
    }

    UseDefaultFontForLaterWindows();
}

MainWindow::~MainWindow() = default;

void MainWindow::SetChartPainter(ChartPainter painter) {
    chart_painter_ = std::move(painter);
    chart_canvas_.queue_draw();
}

bool MainWindow::DrawChart(const Cairo::RefPtr<Cairo::Context>& cr) {
    FLEXTOR_PROCEDURE();
    const int width = chart_canvas_.get_allocated_width();
    const int height = chart_canvas_.get_allocated_height();
    if (chart_painter_) {
        chart_painter_(cr, width, height);
        return true;
    }
    cr->set_source_rgb(1.0, 1.0, 1.0);
    cr->rectangle(0, 0, width, height);
    cr->fill();
    return true;
}

}  // namespace flextor
