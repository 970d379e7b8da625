#include "core/remote/history_encoding.h"

#include <algorithm>

namespace flextor {
namespace {

char* PutLittle(char* at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        *at++ = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return at;
}

// One column's values, each as a difference from the previous one present when
// it fits a byte, else whole. Writes into room made beforehand for the worst case.
class ColumnWriter {
  public:
    ColumnWriter(char* at, int width) : at_(at), width_(width) {}

    void Put(int32_t value) {
        const int64_t difference = static_cast<int64_t>(value) - previous_;
        if (any_ && difference > kHistoryMissing && difference <= 127) {
            *at_++ = static_cast<char>(difference);
        } else {
            *at_++ = static_cast<char>(kHistoryWhole);
            at_ = PutLittle(at_, static_cast<uint32_t>(value), width_);
        }
        any_ = true;
        previous_ = value;
    }

    void Missing() { *at_++ = static_cast<char>(kHistoryMissing); }
    char* End() const { return at_; }

  private:
    char* at_;
    int width_;
    bool any_ = false;
    int32_t previous_ = 0;
};

// The settings keep red in the low byte; the page wants 0xRRGGBB.
uint32_t PageColour(int32_t colour) {
    const auto bits = static_cast<uint32_t>(colour);
    return ((bits & 0xFF) << 16) | (bits & 0xFF00) | ((bits >> 16) & 0xFF);
}

}  // namespace

int32_t HistoryMark(const ChartHistory& history) {
    return history.empty() ? 0 : history.front().time;
}

std::string EncodeHistory(const ChartHistory& history, size_t start, size_t end,
                          const std::array<int32_t, kChartColours>& colours) {
    end = std::min(end, history.size());
    start = std::min(start, end);
    const size_t count = end - start;
    // At most a byte and a whole value each; most take one byte.
    std::string out(kHistoryHeaderBytes + count * (5 + 3 * kChartTraces), '\0');
    char* at = PutLittle(out.data(), static_cast<uint32_t>(HistoryMark(history)), 4);
    at = PutLittle(at, static_cast<uint32_t>(start), 4);
    at = PutLittle(at, static_cast<uint32_t>(count), 4);
    for (int32_t colour : colours) {
        at = PutLittle(at, PageColour(colour), 4);
    }
    const auto begin = history.begin() + static_cast<std::ptrdiff_t>(start);
    const auto stop = history.begin() + static_cast<std::ptrdiff_t>(end);
    ColumnWriter times(at, 4);
    for (auto it = begin; it != stop; ++it) {
        times.Put(it->time);
    }
    at = times.End();
    for (size_t trace = 0; trace < kChartTraces; ++trace) {
        ColumnWriter values(at, 2);
        for (auto it = begin; it != stop; ++it) {
            const int16_t tenths = it->temperatures[trace];
            if (tenths == kNoValue) {
                values.Missing();
            } else {
                values.Put(tenths);
            }
        }
        at = values.End();
    }
    out.resize(static_cast<size_t>(at - out.data()));
    return out;
}

}  // namespace flextor
