#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "image/image.h"

namespace kxp40s {

inline constexpr int kPromptRecordSize = 20;
using PromptRecord = std::array<std::uint8_t, kPromptRecordSize>;
using PromptSet = std::array<std::uint8_t, 620>;  // 31 records, &H100-&H36B
using HistorySet = std::array<std::uint8_t, 40>;  // 2 records, &H3B8-&H3DF

// The program's built-in configuration: the five blocks that tile the initial
// image, and the language tables that the prompt editor copies from. Built
// once on first use and never changed afterwards.
struct DefaultTables {
    std::array<std::uint8_t, 256> DefaultBlock0{};     // &H000
    PromptSet DefaultPromptsEnglish{};                 // &H100
    std::array<std::uint8_t, 148> DefaultBlock876{};   // &H36C
    std::array<std::uint8_t, 320> DefaultBlock1024{};  // &H400
    std::array<std::uint8_t, 704> DefaultBlock1344{};  // &H540
    PromptSet PromptsSpanish{};
    PromptSet PromptsFrench{};
    PromptSet PromptsGerman{};
    HistorySet HistoryPromptsFrench{};
    HistorySet HistoryPromptsGerman{};
    PromptRecord FlashOnlyEnglish{};
    PromptRecord FlashOnlySpanish{};
    PromptRecord FlashOnlyFrench{};
    PromptRecord FlashOnlyGerman{};
};

const DefaultTables& defaultTables();

// The highest image address: the upper bounds of the five blocks plus 4.
inline constexpr int ImageUpperBound = 255 + 619 + 147 + 319 + 703 + 4;
static_assert(ImageUpperBound + 1 == kImageSize);

// The initial image: the five default blocks at &H000, &H100, &H36C, &H400, &H540.
Image defaultImage();

// The initial image's bytes address..address + length - 1.
std::span<const std::uint8_t> defaultBytes(int address, int length);

}  // namespace kxp40s
