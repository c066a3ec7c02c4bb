#include "image/prompt_record.h"

#include <algorithm>

namespace kxp40s {

std::string shownPromptText(const Image& image, int address) {
    const int spaces = image.at(address) & 0x0F;
    const int count = std::min<int>(image.at(address + 1), kMaxPromptChars);
    const auto chars = image.read(address + 2, count);
    return std::string(static_cast<std::size_t>(spaces), ' ') +
           std::string(chars.begin(), chars.end());
}

}  // namespace kxp40s
