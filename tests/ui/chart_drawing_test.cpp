// The chart drawing on an image surface the size of the window's canvas
// (484 × 472): plot 27, 44, 460, 452; inner width 431, height 405; the newest
// sample at x = 458.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "chart_pixels.h"

namespace flextor::test {
namespace {

constexpr int kL = 27, kT = 44, kR = 460, kB = 452;
constexpr int kNewestX = kL + 431;
constexpr LocalTime kNoon{2026, 12, 7, 12, 0, 29};
constexpr int kGlyph = 32;  // how far the core of a glyph may be from its colour

int32_t Colour(int which) {
    return kDefaultLook.colours[which];
}

std::vector<int> Range(int first, int last) {
    std::vector<int> values(static_cast<size_t>(last - first + 1));
    std::iota(values.begin(), values.end(), first);
    return values;
}

TEST(ChartDrawing, ValuesClampToThePlotEdgesAndOutOfRangeIsNotDrawn) {
    struct Case {
        int16_t tenths;
        int row;  // -1: not drawn
    };
    const Case cases[] = {{50, kB - 2}, {1200, kT + 1}, {550, 248}, {1300, -1}, {-600, -1}};
    for (const Case& c : cases) {
        ChartHistory history = Samples(3, {2026, 12, 7, 12, 0, 3}, kNoValue);
        for (ChartSample& sample : history) {
            sample.temperatures[0] = c.tenths;
        }
        const ChartPixels pixels = DrawnChart(history);
        const int32_t trace = Colour(3);
        SCOPED_TRACE(c.tenths);
        EXPECT_EQ(pixels.Count(trace, kL, kT + 1, kR - 1, kB - 1), c.row < 0 ? 0 : 11);
        if (c.row >= 0) {
            EXPECT_EQ(pixels.ColumnsOf(trace, c.row, kL, kR), Range(kNewestX - 10, kNewestX));
        }
    }
}

TEST(ChartDrawing, AMissingRoleBreaksOnlyItsOwnTrace) {
    ChartHistory history = Samples(5, {2026, 12, 7, 12, 0, 9});
    for (ChartSample& sample : history) {
        for (int trace = 0; trace < kChartTraces; ++trace) {
            sample.temperatures[trace] = static_cast<int16_t>(200 + 150 * trace);
        }
    }
    history[2].temperatures[3] = kNoValue;
    const ChartPixels pixels = DrawnChart(history);
    std::vector<int> broken = Range(kNewestX - 20, kNewestX - 15);
    for (int x : Range(kNewestX - 5, kNewestX)) {
        broken.push_back(x);
    }
    EXPECT_EQ(pixels.ColumnsOf(Colour(6), 203, kL, kR), broken);  // 65.0 °C, role 4
    EXPECT_EQ(pixels.ColumnsOf(Colour(5), 270, kL, kR), Range(kNewestX - 20, kNewestX));
    EXPECT_EQ(pixels.ColumnsOf(Colour(7), 135, kL, kR), Range(kNewestX - 20, kNewestX));
}

TEST(ChartDrawing, ThirtySamplesEndAtTheRightEdgeAndTheGridGoesOnToTheLeft) {
    ChartHistory history = Samples(30, kNoon, kNoValue);
    for (ChartSample& sample : history) {
        sample.temperatures[0] = 500;
    }
    const ChartPixels pixels = DrawnChart(history);
    EXPECT_EQ(pixels.ColumnsOf(Colour(3), 270, kL, kR), Range(kNewestX - 145, kNewestX));
    std::vector<int> grid;
    for (int x = kL + 11; x < kNewestX; x += 25) {
        grid.push_back(x);  // seconds 25, 20, ..., 0 of the samples, then 25 pixels apart
    }
    EXPECT_EQ(pixels.ColumnsOf(Colour(1), 56, kL + 1, kR - 1), grid);
    EXPECT_GT(
        pixels.Count(Colour(2), kNewestX - 145 - 15, kB + 2, kNewestX - 145 + 15, 472, kGlyph), 0)
        << "12:00 under the line of second 0";

    // A note's flag at sample 10's second, one before the samples and one after them.
    const ChartMarks marks = {
        {history[10].time, "a"}, {history[0].time - 60, "b"}, {history.back().time + 5, "c"}};
    const ChartPixels flagged = DrawnChart(history, &marks);
    EXPECT_EQ(flagged.ColumnsOf(Colour(2), 200, kL + 1, kR - 1),
              (std::vector<int>{kNewestX - 19 * 5}));
    EXPECT_EQ(flagged.ColumnsOf(Colour(2), kT + 3, kNewestX - 95, kNewestX - 88),
              Range(kNewestX - 95, kNewestX - 89));
}

TEST(ChartDrawing, ScaleValuesAndLegendAreInTheirColours) {
    const ChartPixels pixels = DrawnChart({});
    for (int y : {kT, 248, kB}) {  // 100, 55 and 10 °C
        SCOPED_TRACE(y);
        EXPECT_GT(pixels.Count(Colour(2), 0, y - 8, kL - 3, y + 8, kGlyph), 0);
        EXPECT_GT(pixels.Count(Colour(2), kR + 2, y - 8, 484, y + 8, kGlyph), 0);
    }
    std::vector<Point> bars;
    for (int trace = 3; trace <= 8; ++trace) {
        const std::optional<Point> bar = pixels.FindKeyBar(Colour(trace));
        ASSERT_TRUE(bar) << "key bar of colour " << trace;
        EXPECT_GT(
            pixels.Count(Colour(trace), bar->x + 20, bar->y - 8, bar->x + 50, bar->y + 8, kGlyph),
            0)
            << "the name right of key bar " << trace;
        bars.push_back(*bar);
    }
    EXPECT_EQ(bars[0].y, bars[1].y);
    EXPECT_GT(bars[0].x, 0);
    EXPECT_LT(bars[0].x, bars[1].x);
    for (int i = 2; i < 5; ++i) {
        EXPECT_EQ(bars[i].y, bars[5].y);
        EXPECT_LT(bars[i].x, bars[i + 1].x);
    }
    EXPECT_GT(bars[2].y, bars[0].y);
}

}  // namespace
}  // namespace flextor::test
