#include "editors/quoted_text.h"

#include <algorithm>
#include <array>
#include <utility>

namespace kxp40s {

namespace {

// The letter of each one-letter escape and the character it stands for.
constexpr std::array<std::pair<char, char>, 8> kLetterEscapes = {{{'"', '"'},
                                                                  {'\\', '\\'},
                                                                  {'/', '/'},
                                                                  {'b', '\b'},
                                                                  {'f', '\f'},
                                                                  {'n', '\n'},
                                                                  {'r', '\r'},
                                                                  {'t', '\t'}}};
constexpr char kHexDigits[] = "0123456789abcdef";

bool isControl(char c) {
    return static_cast<unsigned char>(c) < 0x20;
}

// How quoteText writes a character: "/" as it is, any other character with
// a letter escape by its letter, the remaining control characters as \u00xx.
void appendQuoted(std::string& quoted, char c) {
    const auto letter = std::find_if(kLetterEscapes.begin(), kLetterEscapes.end(),
                                     [c](const auto& e) { return e.second == c; });
    if (c != '/' && letter != kLetterEscapes.end()) {
        quoted += '\\';
        quoted += letter->first;
    } else if (isControl(c)) {
        const auto byte = static_cast<unsigned char>(c);
        quoted += "\\u00";
        quoted += kHexDigits[byte >> 4];
        quoted += kHexDigits[byte & 0x0F];
    } else {
        quoted += c;
    }
}

std::optional<int> hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return std::nullopt;
}

// The four hexadecimal digits `rest` starts with, which are taken off it.
std::optional<char32_t> takeUtf16Unit(std::string_view& rest) {
    if (rest.size() < 4) return std::nullopt;
    char32_t unit = 0;
    for (const char c : rest.substr(0, 4)) {
        const auto digit = hexDigit(c);
        if (!digit) return std::nullopt;
        unit = unit * 16 + static_cast<char32_t>(*digit);
    }
    rest.remove_prefix(4);
    return unit;
}

bool isHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// After "\u": one UTF-16 unit, or a high surrogate followed by "\u" and its
// low surrogate.
std::optional<char32_t> takeCodePoint(std::string_view& rest) {
    const auto unit = takeUtf16Unit(rest);
    if (!unit || isLowSurrogate(*unit)) return std::nullopt;
    if (!isHighSurrogate(*unit)) return unit;
    if (!rest.starts_with("\\u")) return std::nullopt;
    rest.remove_prefix(2);
    const auto low = takeUtf16Unit(rest);
    if (!low || !isLowSurrogate(*low)) return std::nullopt;
    return 0x10000 + ((*unit - 0xD800) << 10) + (*low - 0xDC00);
}

void appendUtf8(std::string& text, char32_t cp) {
    const auto byte = [&](char32_t bits) { text += static_cast<char>(bits); };
    if (cp < 0x80) {
        byte(cp);
    } else if (cp < 0x800) {
        byte(0xC0 | (cp >> 6));
        byte(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        byte(0xE0 | (cp >> 12));
        byte(0x80 | ((cp >> 6) & 0x3F));
        byte(0x80 | (cp & 0x3F));
    } else {
        byte(0xF0 | (cp >> 18));
        byte(0x80 | ((cp >> 12) & 0x3F));
        byte(0x80 | ((cp >> 6) & 0x3F));
        byte(0x80 | (cp & 0x3F));
    }
}

// After a backslash: the escape, whose character is appended to `text`.
bool takeEscape(std::string_view& rest, std::string& text) {
    if (rest.empty()) return false;
    const char letter = rest.front();
    rest.remove_prefix(1);
    if (letter == 'u') {
        const auto cp = takeCodePoint(rest);
        if (cp) appendUtf8(text, *cp);
        return cp.has_value();
    }
    const auto escape = std::find_if(kLetterEscapes.begin(), kLetterEscapes.end(),
                                     [letter](const auto& e) { return e.first == letter; });
    if (escape == kLetterEscapes.end()) return false;
    text += escape->second;
    return true;
}

// The length of the well-formed UTF-8 sequence of a character above U+007F
// that `rest` starts with; 0 when it starts with none (an overlong form, a
// surrogate, a code point above U+10FFFF, a cut-off sequence).
std::size_t utf8Length(std::string_view rest) {
    const auto byte = [&](std::size_t i) -> unsigned {
        return i < rest.size() ? static_cast<unsigned char>(rest[i]) : 0;
    };
    const unsigned lead = byte(0);
    std::size_t length = 0;
    unsigned secondMin = 0x80, secondMax = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) secondMin = 0xA0;
        if (lead == 0xED) secondMax = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) secondMin = 0x90;
        if (lead == 0xF4) secondMax = 0x8F;
    } else {
        return 0;
    }
    if (byte(1) < secondMin || byte(1) > secondMax) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    }
    return length;
}

// One character or escape of the quoted text, appended to `text`.
bool takeCharacter(std::string_view& rest, std::string& text) {
    const char first = rest.front();
    if (first == '\\') {
        rest.remove_prefix(1);
        return takeEscape(rest, text);
    }
    if (isControl(first)) return false;
    const std::size_t length = static_cast<unsigned char>(first) < 0x80 ? 1 : utf8Length(rest);
    if (length == 0) return false;
    text += rest.substr(0, length);
    rest.remove_prefix(length);
    return true;
}

}  // namespace

std::string quoteText(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text)
        appendQuoted(quoted, c);
    return quoted + '"';
}

std::optional<std::string> unquoteText(std::string_view quoted) {
    if (!quoted.starts_with('"')) return std::nullopt;
    std::string_view rest = quoted.substr(1);
    std::string text;
    while (!rest.empty() && rest.front() != '"') {
        if (!takeCharacter(rest, text)) return std::nullopt;
    }
    if (rest.empty()) return std::nullopt;
    rest.remove_prefix(1);
    if (rest.find_first_not_of(" \t\n\r") != std::string_view::npos) return std::nullopt;
    return text;
}

}  // namespace kxp40s
