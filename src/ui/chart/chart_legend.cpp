// The legend: each trace's name in its colour with a key bar to its left, and
// on pages the times of the first and last sample in view.
#include <algorithm>
#include <span>

#include "ui/chart/chart_drawing.h"
#include "ui/chart/chart_labels.h"
#include "ui/chart/chart_pen.h"

namespace flextor {
namespace {

struct LegendEntry {
    const char* name;
    int colour;
};

// Right to left, as they are placed.
constexpr LegendEntry kUpperRow[] = {{"д 2 (ав. Конденсатор)", kFirstTraceColour + 1},
                                     {"д 1 (ав. ТСА)", kFirstTraceColour + 0}};
constexpr LegendEntry kLowerRow[] = {{"д6", kFirstTraceColour + 5},
                                     {"д 5 (Брага)", kFirstTraceColour + 4},
                                     {"д 4 (Куб)", kFirstTraceColour + 3},
                                     {"д 3 (Колонна)", kFirstTraceColour + 2}};

constexpr int kRowGap = 30;     // between a name and the next one's right edge
constexpr int kBarOffset = 20;  // key bar starts this far left of its name
constexpr int kBarWidth = 16;
constexpr int kBarHeight = 2;

void DrawRow(ChartScene& scene, int right, int y, int bar_y, std::span<const LegendEntry> row) {
    int edge = right;
    for (const LegendEntry& entry : row) {
        const int32_t colour = scene.Colour(entry.colour);
        const int left = edge - scene.text.Measure(entry.name).width;
        scene.text.Draw(left, y, entry.name, colour);
        FillBox(scene.cr, left - kBarOffset, bar_y, kBarWidth, kBarHeight, colour);
        edge = left - kRowGap;
    }
}

size_t ClampedIndex(int64_t index, size_t count) {
    return static_cast<size_t>(std::clamp<int64_t>(index, 0, static_cast<int64_t>(count) - 1));
}

void DrawDates(ChartScene& scene) {
    const int64_t first = scene.look.scrollPos;
    const int64_t last = first + scene.look.visible - 1;
    const std::string upper = DateLabel(scene.history[ClampedIndex(first, scene.count)].time);
    const std::string lower = DateLabel(scene.history[ClampedIndex(last, scene.count)].time);
    const int height = scene.text.Measure(upper).height;
    scene.text.Draw(4, 4, upper, scene.Colour(kTextColour));
    scene.text.Draw(4, height + 8, lower, scene.Colour(kTextColour));
}

}  // namespace

void DrawLegend(ChartScene& scene, int right, bool withDates) {
    const int height = scene.text.Measure(kUpperRow[1].name).height;
    DrawRow(scene, right, 4, 4 + height / 2, kUpperRow);
    DrawRow(scene, right, height + 10, height + 10 + height / 2, kLowerRow);
    if (withDates && scene.count > 2) {
        DrawDates(scene);
    }
}

}  // namespace flextor
