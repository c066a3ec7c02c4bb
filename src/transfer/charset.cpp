#include "transfer/charset.h"

#include <array>
#include <span>
#include <utility>

#include "image/default_tables.h"
#include "image/pager_map.h"

namespace kxp40s {

namespace {

using Pair = std::pair<std::uint8_t, std::uint8_t>;  // PC byte, pager byte

constexpr std::array<Pair, 10> kSpanish = {{{161, 35},
                                            {199, 91},
                                            {209, 92},
                                            {186, 93},
                                            {170, 94},
                                            {191, 96},
                                            {231, 123},
                                            {241, 124},
                                            {220, 125},
                                            {252, 126}}};
constexpr std::array<Pair, 9> kFrench = {{{163, 35},
                                          {224, 64},
                                          {176, 91},
                                          {231, 92},
                                          {167, 93},
                                          {233, 123},
                                          {249, 124},
                                          {232, 125},
                                          {175, 126}}};
constexpr std::array<Pair, 8> kGerman = {
    {{167, 64}, {196, 91}, {214, 92}, {220, 93}, {228, 123}, {246, 124}, {252, 125}, {223, 126}}};
constexpr std::array<Pair, 8> kDanish = {
    {{167, 64}, {198, 91}, {216, 92}, {197, 93}, {230, 123}, {248, 124}, {229, 125}, {175, 126}}};
constexpr std::array<Pair, 11> kSwedish = {{{163, 35},
                                            {200, 64},
                                            {196, 91},
                                            {214, 92},
                                            {197, 93},
                                            {220, 94},
                                            {233, 96},
                                            {228, 123},
                                            {246, 124},
                                            {229, 125},
                                            {252, 126}}};

std::span<const Pair> tableOf(int languageCode) {
    switch (languageCode) {
        case 5:
            return kSpanish;
        case 6:
            return kFrench;
        case 8:
            return kGerman;
        case 11:
            return kDanish;
        case 15:
            return kSwedish;
        default:
            return {};
    }
}

// Only the characters of each record change: its leading-space and length
// bytes are numbers, not letters.
template <class Convert>
void convertTexts(Image& image, Convert convert) {
    for (const pager::Run& area : pager::kTextAreas) {
        for (int record = area.address; record < area.address + area.length;
             record += kPromptRecordSize) {
            for (int a = record + 2; a < record + kPromptRecordSize; ++a)
                image.set(a, convert(image.at(a), pager::languageCode(image)));
        }
    }
}

}  // namespace

std::uint8_t PcToPagerChar(std::uint8_t c, int languageCode) {
    for (const auto& [pc, pager] : tableOf(languageCode)) {
        if (pc == c) return pager;
    }
    return c;
}

std::uint8_t PagerToPcChar(std::uint8_t c, int languageCode) {
    for (const auto& [pc, pager] : tableOf(languageCode)) {
        if (pager == c) return pc;
    }
    return c;
}

void TextToPager(Image& image) {
    convertTexts(image, PcToPagerChar);
}
void TextToPc(Image& image) {
    convertTexts(image, PagerToPcChar);
}

}  // namespace kxp40s
