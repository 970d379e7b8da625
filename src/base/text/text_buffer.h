// Text built in a fixed buffer without the heap, for code that runs where
// allocating is not allowed (a signal handler). What does not fit is cut off,
// and the text remembers that it was.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstring>

namespace flextor {

template <size_t Capacity>
class TextBuffer {
  public:
    void Append(const char* text, size_t size) {
        const size_t room = Capacity - 1 - size_;
        const size_t taken = size < room ? size : room;
        std::memcpy(data_ + size_, text, taken);
        size_ += taken;
        data_[size_] = '\0';
        cut_ = cut_ || taken < size;
    }
    void Append(const char* text) { Append(text, std::strlen(text)); }
    void AppendNumber(long long number) {
        char digits[24];
        Append(digits, static_cast<size_t>(
                           std::to_chars(digits, digits + sizeof digits, number).ptr - digits));
    }
    // Two digits at least, as in time stamps: 7 → "07".
    void AppendTwoDigits(int number) {
        if (number >= 0 && number < 10) {
            Append("0", 1);
        }
        AppendNumber(number);
    }
    const char* data() const { return data_; }
    const char* c_str() const { return data_; }
    size_t size() const { return size_; }
    bool cut() const { return cut_; }

  private:
    char data_[Capacity] = {};
    size_t size_ = 0;
    bool cut_ = false;
};

}  // namespace flextor
