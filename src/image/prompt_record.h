#pragma once

#include <string>

#include "image/image.h"

namespace kxp40s {

// A prompt record of 20 bytes at `address`: byte 0 bits 0-3 the spaces shown
// before the text, bits 4-7 an attribute the editor keeps; byte 1 the
// character count; then up to 18 characters (Windows-1252).
inline constexpr int kMaxPromptChars = 18;

// The text as its box shows it: the leading spaces, then the characters. A
// count above 18 (a damaged record) shows 18, never bytes of the next record.
std::string shownPromptText(const Image& image, int address);

}  // namespace kxp40s
