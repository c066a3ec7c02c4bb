#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kxp40s {

// The image stores prompt texts one byte per character in Windows-1252
// ("ü" is &HFC); the program's own strings and its terminal are UTF-8.

// Nullopt when the text is not valid UTF-8 or holds a character that
// Windows-1252 cannot store.
std::optional<std::string> utf8ToWindows1252(std::string_view utf8);

// Bytes that Windows-1252 leaves undefined (&H81, &H8D, &H8F, &H90, &H9D)
// come out as the control characters of the same number.
std::string windows1252ToUtf8(std::string_view bytes);

}  // namespace kxp40s
