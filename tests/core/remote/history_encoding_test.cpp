// The day's samples as the status page's chart receives them: read back as the
// page reads them, they are the samples recorded.
#include "core/remote/history_encoding.h"

#include <gtest/gtest.h>

#include <cstring>

namespace flextor::test {
namespace {

struct Decoded {
    int32_t mark = 0;
    uint32_t start = 0;
    std::array<uint32_t, kChartColours> colours{};
    ChartHistory samples;
    size_t bytes = 0;
};

template <typename Number>
Number Little(const std::string& body, size_t& at) {
    Number value{};
    std::memcpy(&value, body.data() + at, sizeof value);  // the tests run little-endian
    at += sizeof value;
    return value;
}

// The page's reading of an answer.
Decoded Decode(const std::string& body) {
    Decoded d;
    size_t at = 0;
    d.mark = Little<int32_t>(body, at);
    d.start = Little<uint32_t>(body, at);
    d.samples.resize(Little<uint32_t>(body, at));
    for (uint32_t& colour : d.colours) {
        colour = Little<uint32_t>(body, at);
    }
    for (int column = 0; column <= kChartTraces; ++column) {
        int32_t previous = 0;
        for (ChartSample& sample : d.samples) {
            const auto byte = static_cast<int8_t>(body.at(at++));
            if (byte == kHistoryWhole) {
                previous = column == 0 ? Little<int32_t>(body, at) : Little<int16_t>(body, at);
            } else if (byte != kHistoryMissing) {
                previous += byte;
            }
            int32_t& time = sample.time;
            if (column == 0) {
                time = previous;
            } else {
                sample.temperatures[column - 1] =
                    byte == kHistoryMissing ? kNoValue : static_cast<int16_t>(previous);
            }
        }
    }
    d.bytes = at;
    return d;
}

ChartSample Sample(int32_t time, std::array<int16_t, kChartTraces> tenths) {
    return ChartSample{tenths, time};
}

bool Same(const ChartSample& a, const ChartSample& b) {
    return a.time == b.time && a.temperatures == b.temperatures;
}

const std::array<int32_t, kChartColours> kColours = {0xFFFFFF, 0xC0C0C0, 0x008000, 0x0000FF, 255,
                                                     0x408000, 0xFF8000, 0xC08000, -15540206};

// Steps within a byte and beyond it either way, gaps in time and in traces,
// a trace coming back after its gap, negative temperatures.
const ChartHistory kDay = {
    Sample(1780000000, {200, 785, kNoValue, -300, 0, 1000}),
    Sample(1780000001, {201, 784, kNoValue, -299, 127, 1000}),
    Sample(1780000002, {328, 658, 250, -301, 254, 1000}),
    Sample(1780003600, {327, 659, kNoValue, 1250, 127, 1000}),
    Sample(1780003601, {329, 660, 251, -2, -126, kNoValue}),
    Sample(1779999000, {329, 660, 250, -1, 1, kNoValue}),
};

TEST(HistoryEncoding, AnswersReadBackAsTheSamplesWithTheirMarkStartAndColours) {
    struct Case {
        size_t start;
        size_t end;
    };
    for (const Case c : {Case{0, kDay.size()}, Case{2, 5}, Case{5, 6}, Case{6, 6}, Case{4, 99}}) {
        const std::string body = EncodeHistory(kDay, c.start, c.end, kColours);
        const Decoded d = Decode(body);
        const size_t end = std::min(c.end, kDay.size());
        EXPECT_EQ(d.bytes, body.size()) << c.start;
        EXPECT_EQ(d.mark, 1780000000);
        EXPECT_EQ(d.start, c.start);
        ASSERT_EQ(d.samples.size(), end - c.start) << c.start;
        for (size_t i = 0; i < d.samples.size(); ++i) {
            EXPECT_TRUE(Same(d.samples[i], kDay[c.start + i])) << c.start << " + " << i;
        }
        // Red in the settings' low byte is the page's high one.
        EXPECT_EQ(d.colours[3], 0xFF0000u);
        EXPECT_EQ(d.colours[8], 0x12E012u);
    }
    EXPECT_EQ(Decode(EncodeHistory({}, 0, 0, kColours)).mark, 0);
}

// A day of slowly changing temperatures costs a byte per value after the first
// of each column: 86,400 samples stay near 600 KB before compression.
TEST(HistoryEncoding, SlowChangesTakeOneBytePerValue) {
    ChartHistory day;
    for (int i = 0; i < 1000; ++i) {
        const auto t = static_cast<int16_t>(200 + i / 10);
        day.push_back(Sample(1780000000 + i, {t, t, t, t, kNoValue, static_cast<int16_t>(-t)}));
    }
    const size_t whole_values = 4 + 2 * (kChartTraces - 1);  // first of each column
    EXPECT_EQ(EncodeHistory(day, 0, day.size(), kColours).size(),
              kHistoryHeaderBytes + day.size() * (kChartTraces + 1) + whole_values);
}

}  // namespace
}  // namespace flextor::test
