#include "core/crash/json_text.h"

#include <cmath>
#include <cstring>

namespace flextor {
namespace {

constexpr int kDoubleDigits = 10;

// The letter of the short escape of c, or 0 when c has none.
char ShortEscape(char c) {
    switch (c) {
        case '"':
            return '"';
        case '\\':
            return '\\';
        case '\b':
            return 'b';
        case '\t':
            return 't';
        case '\n':
            return 'n';
        case '\f':
            return 'f';
        case '\r':
            return 'r';
        default:
            return 0;
    }
}

void PutUnicodeEscape(FixedText& out, unsigned char c) {
    constexpr char kHex[] = "0123456789abcdef";
    const char escape[] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 0x0F]};
    out.Put(std::string_view(escape, sizeof escape));
}

}  // namespace

void FixedText::Put(std::string_view piece) {
    if (piece.empty()) {
        return;
    }
    if (overflowed_ || piece.size() > capacity_ - size_) {
        overflowed_ = true;
        return;
    }
    std::memcpy(data_ + size_, piece.data(), piece.size());
    size_ += piece.size();
}

void PutJsonDouble(FixedText& out, double value) {
    if (!std::isfinite(value)) {
        out.Put("null");
        return;
    }
    char digits[32];
    const std::to_chars_result result = std::to_chars(digits, digits + sizeof digits, value,
                                                      std::chars_format::general, kDoubleDigits);
    out.Put(std::string_view(digits, static_cast<size_t>(result.ptr - digits)));
}

void PutJsonString(FixedText& out, std::string_view text) {
    out.Put('"');
    size_t plain_from = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const char letter = ShortEscape(text[i]);
        if (letter == 0 && c >= 0x20) {
            continue;
        }
        out.Put(text.substr(plain_from, i - plain_from));
        if (letter != 0) {
            const char escape[] = {'\\', letter};
            out.Put(std::string_view(escape, sizeof escape));
        } else {
            PutUnicodeEscape(out, c);
        }
        plain_from = i + 1;
    }
    out.Put(text.substr(plain_from));
    out.Put('"');
}

void PutJsonKey(FixedText& out, std::string_view name) {
    out.Put('"');
    out.Put(name);
    out.Put("\":");
}

}  // namespace flextor
