#include "base/text/utf8.h"

#include <cstddef>

namespace flextor {
namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The bounds of the second byte after a lead byte: they exclude over-long forms,
// surrogates and code points above U+10FFFF.
struct SecondByteRange {
    unsigned char low;
    unsigned char high;
};

SecondByteRange SecondByteBounds(unsigned char lead) {
    switch (lead) {
        case 0xE0:
            return {0xA0, 0xBF};
        case 0xED:
            return {0x80, 0x9F};
        case 0xF0:
            return {0x90, 0xBF};
        case 0xF4:
            return {0x80, 0x8F};
        default:
            return {0x80, 0xBF};
    }
}

size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;  // never a lead byte
}

// The length of the well-formed character at text[at], or 0 with bad set to the
// length of the ill-formed piece that one replacement character stands for.
size_t CharacterAt(std::string_view text, size_t at, size_t& bad) {
    auto lead = static_cast<unsigned char>(text[at]);
    size_t length = SequenceLength(lead);
    bad = 1;
    if (length <= 1) {
        return length;
    }
    SecondByteRange second = SecondByteBounds(lead);
    for (size_t i = 1; i < length; ++i) {
        if (at + i >= text.size()) {
            return 0;
        }
        auto byte = static_cast<unsigned char>(text[at + i]);
        bool fits = i == 1 ? byte >= second.low && byte <= second.high : IsContinuation(byte);
        if (!fits) {
            return 0;
        }
        bad = i + 1;
    }
    return length;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
    size_t at = 0;
    while (at < text.size()) {
        size_t bad = 0;
        size_t length = CharacterAt(text, at, bad);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

std::string ValidUtf8(std::string_view text) {
    if (IsValidUtf8(text)) {
        return std::string(text);
    }
    std::string result;
    result.reserve(text.size() + 8);
    size_t at = 0;
    while (at < text.size()) {
        size_t bad = 0;
        size_t length = CharacterAt(text, at, bad);
        if (length == 0) {
            result += kReplacementCharacter;
            at += bad;
        } else {
            result.append(text.substr(at, length));
            at += length;
        }
    }
    return result;
}

}  // namespace flextor
