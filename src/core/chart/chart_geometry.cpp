#include "core/chart/chart_geometry.h"

#include <algorithm>

namespace flextor {
namespace {

constexpr int kLeft = 27;
constexpr int kTop = 44;
constexpr int kRightMargin = 24;
constexpr int kBottomMargin = 20;
constexpr int kValueSpan = 900;  // 10.0 .. 100.0 °C

// The ceiling of a / b for b > 0, negative a included.
int CeilDiv(int a, int b) {
    return a >= 0 ? (a + b - 1) / b : -(-a / b);
}

}  // namespace

PlotRect PlotRectFor(int w, int h) {
    if (w <= 0 || h <= 0) {
        return PlotRect{};
    }
    return PlotRect{kLeft, kTop, w - kRightMargin, h - kBottomMargin};
}

int32_t VisibleSamples(int w, int h) {
    if (w <= 0 || h <= 0) {
        return 0;
    }
    // A surface narrower than the margins shows nothing rather than a negative count.
    return std::max(0, CeilDiv(PlotRectFor(w, h).InnerWidth(), kPixelsPerSample));
}

bool TraceValue(int16_t tenths, int16_t& clamped) {
    if (tenths < -550 || tenths > 1250) {
        return false;
    }
    clamped = std::clamp<int16_t>(tenths, 100, 1000);
    return true;
}

int TraceY(const PlotRect& plot, int16_t clamped) {
    return plot.top + 1 + CeilDiv((1000 - clamped) * plot.InnerHeight(), kValueSpan);
}

}  // namespace flextor
