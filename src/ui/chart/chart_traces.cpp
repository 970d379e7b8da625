// The traces and the time grid. The walk starts at the newest sample in view,
// reached by index, and steps to older samples only while they fit the plot:
// a redraw costs the same whatever the length of the day.
#include <algorithm>
#include <array>

#include "ui/chart/chart_drawing.h"
#include "ui/chart/chart_labels.h"
#include "ui/chart/chart_pen.h"

namespace flextor {
namespace {

constexpr int kGridSeconds = 5;
constexpr int kGridStep = kGridSeconds * kPixelsPerSample;  // 25 pixels

struct TracePoint {
    bool known = false;
    int x = 0;
    int y = 0;
};

// The newest sample in view, or -1 when none is.
int64_t NewestInView(const ChartScene& scene) {
    const auto count = static_cast<int64_t>(scene.count);
    if (scene.look.visible >= count) {
        return count - 1;
    }
    return std::min<int64_t>(int64_t{scene.look.scrollPos} + scene.look.visible - 1, count - 1);
}

void DrawGridLine(ChartScene& scene, const PlotRect& rect, int x) {
    FillBox(scene.cr, rect.left + x, rect.top + 1, 1, rect.InnerHeight() + 2,
            scene.Colour(kGridColour));
}

bool InsideInnerPlot(const PlotRect& rect, const TracePoint& p) {
    return p.known && p.x >= rect.left && p.x <= rect.right - 2 && p.y >= rect.top + 1 &&
           p.y <= rect.bottom - 2;
}

class TraceWalk {
  public:
    TraceWalk(ChartScene& scene, const PlotRect& rect) : scene_(scene), rect_(rect) {}

    void Run(int64_t newest);

  private:
    void DrawGridAt(int32_t time, int x, int xe);
    void DrawSample(const ChartSample& sample, int xe);

    ChartScene& scene_;
    const PlotRect& rect_;
    std::array<TracePoint, kChartTraces> previous_{};
    int next_grid_x_ = 0;  // where the next grid line to the left belongs
};

void TraceWalk::Run(int64_t newest) {
    const int inner_width = rect_.InnerWidth();
    int x = inner_width;
    next_grid_x_ = x - SecondOf(scene_.history[newest].time) % kGridSeconds * kPixelsPerSample;
    for (int64_t i = newest;; --i) {
        const ChartSample& sample = scene_.history[static_cast<size_t>(i)];
        const int xe = std::max(x, 0);
        DrawGridAt(sample.time, x, xe);
        DrawSample(sample, xe);
        if (i == 0) {
            if (x > 0 && scene_.look.visible >= static_cast<int64_t>(scene_.count)) {
                DrawTimeGrid(scene_, sample.time, next_grid_x_, inner_width - 4, rect_, false);
            }
            return;
        }
        if (xe == 0) {
            return;
        }
        x = xe - kPixelsPerSample;
    }
}

void TraceWalk::DrawGridAt(int32_t time, int x, int xe) {
    const int second = SecondOf(time);
    if (second % kGridSeconds != 0 || x < 2 || xe >= rect_.InnerWidth()) {
        return;
    }
    DrawGridLine(scene_, rect_, xe);
    next_grid_x_ = xe - kGridStep;
    if (second % 10 == 0) {
        const std::string label = GridLabel(time);
        const int width = scene_.text.Measure(label).width;
        scene_.text.Draw(rect_.left + xe - width / 2, rect_.bottom + 2, label,
                         scene_.Colour(kTextColour));
    }
}

void TraceWalk::DrawSample(const ChartSample& sample, int xe) {
    for (int trace = 0; trace < kChartTraces; ++trace) {
        TracePoint& previous = previous_[trace];
        int16_t value = 0;
        if (!TraceValue(sample.temperatures[trace], value)) {
            previous.known = false;
            continue;
        }
        const TracePoint point{true, rect_.left + xe, TraceY(rect_, value)};
        const int32_t colour = scene_.Colour(kFirstTraceColour + trace);
        if (InsideInnerPlot(rect_, previous)) {
            DrawPixelLine(scene_.cr, previous.x, previous.y, point.x, point.y, colour);
        } else {
            FillBox(scene_.cr, point.x, point.y, 1, 1, colour);
        }
        previous = point;
    }
}

}  // namespace

void DrawTraces(ChartScene& scene, const PlotRect& rect, bool withTimeStamp) {
    const int inner_width = rect.InnerWidth();
    if (scene.count == 0) {
        DrawTimeGrid(scene, scene.now, inner_width, inner_width - 4, rect, true);
        return;
    }
    const int64_t newest = NewestInView(scene);
    if (newest < 0) {
        return;
    }
    if (withTimeStamp) {
        scene.text.Draw(4, 4, StampLabel(scene.history[static_cast<size_t>(newest)].time),
                        scene.Colour(kTextColour));
    }
    TraceWalk(scene, rect).Run(newest);
}

void DrawTimeGrid(ChartScene& scene, int32_t time, int x, int limit, const PlotRect& rect,
                  bool align) {
    if (align) {
        x = x + SecondOf(time) % kGridSeconds - kGridSeconds;
    }
    for (; x > 2; x -= kGridStep) {
        if (x < limit) {
            DrawGridLine(scene, rect, x);
        }
    }
}

}  // namespace flextor
