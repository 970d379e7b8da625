// Compact JSON text written into a fixed buffer. Nothing here takes memory from
// the heap, takes a lock or depends on the locale, so the same writers serve the
// rendering ahead of a fault and the failure handler itself.
#pragma once

#include <charconv>
#include <concepts>
#include <cstddef>
#include <string_view>

namespace flextor {

// A fixed buffer filled from its start. A piece that does not fit is dropped
// and the text is marked overflowed; the caller then keeps nothing of it.
class FixedText {
  public:
    FixedText(char* data, size_t capacity) : data_(data), capacity_(capacity) {}

    void Put(std::string_view piece);
    void Put(char c) { Put(std::string_view(&c, 1)); }

    [[nodiscard]] bool Overflowed() const { return overflowed_; }
    size_t Size() const { return size_; }
    std::string_view Text() const { return {data_, size_}; }

  private:
    char* data_;
    size_t capacity_;
    size_t size_ = 0;
    bool overflowed_ = false;
};

// An integer of any width as a JSON number, signed or unsigned as its type is.
template <std::integral T>
void PutJsonInteger(FixedText& out, T value) {
    char digits[24];
    const std::to_chars_result result = std::to_chars(digits, digits + sizeof digits, value);
    out.Put(std::string_view(digits, static_cast<size_t>(result.ptr - digits)));
}

// A double with at most 10 significant digits, "." as the decimal point, the
// shorter of the fixed and exponent forms as "%.10g" gives it; null when the
// value is not finite (JSON has no infinity).
void PutJsonDouble(FixedText& out, double value);

// A JSON string: quote and backslash escaped, the five usual control characters
// by letter, every other one below 0x20 as \u00xx; all else byte for byte.
void PutJsonString(FixedText& out, std::string_view text);

// `"name":`
void PutJsonKey(FixedText& out, std::string_view name);

}  // namespace flextor
