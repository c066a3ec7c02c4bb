#pragma once

#include <cstdint>

#include "image/image.h"

namespace kxp40s {

// The pager shows a 7-bit national variant of ASCII chosen by the language
// code (&H3A bits 0-3); the PC side holds the Windows-1252 letters. Bytes
// without a counterpart, and every byte under any other language, stay as
// they are.
std::uint8_t PcToPagerChar(std::uint8_t c, int languageCode);
std::uint8_t PagerToPcChar(std::uint8_t c, int languageCode);

// Convert the prompt texts of the image in place: the 31 prompts at &H100,
// the two history prompts at &H3B8 and the 32 source prompts at &H540. Only
// a record's characters change, never its two header bytes (the spaces count
// with its attribute, and the length), which are numbers, not letters.
void TextToPager(Image& image);
void TextToPc(Image& image);

}  // namespace kxp40s
