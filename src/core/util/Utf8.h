#pragma once
// UTF-8, the text of every string in the core: a character appended, and the character that
// starts at a place of bytes that may hold other text too (a Latin-1 file name).
#include <cstddef>
#include <string>
#include <string_view>

namespace tessarin::util {

// Appends a code point (at most U+10FFFF) as UTF-8.
inline void appendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

struct Utf8Char {
    char32_t code = 0;
    std::size_t length = 0;  // 0: no well-formed character starts there
};

// The character starting at v[i]. A stray byte, an overlong form, a surrogate, a code point past
// U+10FFFF and a sequence cut short start none.
inline Utf8Char decodeUtf8(std::string_view v, std::size_t i) {
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(v[k]); };
    const unsigned char lead = at(i);
    if (lead < 0x80) return {lead, 1};
    std::size_t n = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) n = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) n = 3, low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
    else if (lead >= 0xF0 && lead <= 0xF4) n = 4, low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
    if (n == 0 || i + n > v.size() || at(i + 1) < low || at(i + 1) > high) return {};
    char32_t code = lead & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
        if (k > 1 && (at(i + k) < 0x80 || at(i + k) > 0xBF)) return {};
        code = code << 6 | (at(i + k) & 0x3F);
    }
    return {code, n};
}

// Whether every byte belongs to a well-formed character.
inline bool isUtf8(std::string_view v) {
    for (std::size_t i = 0; i < v.size();) {
        const std::size_t n = decodeUtf8(v, i).length;
        if (n == 0) return false;
        i += n;
    }
    return true;
}

}  // namespace tessarin::util
