#include "editors/image_diff.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <sstream>

#include "editors/quoted_text.h"
#include "image/default_tables.h"
#include "image/prompt_record.h"

namespace kxp40s {

namespace {

// Longest run printed on one line; longer runs continue on the next.
constexpr int kRunLength = 16;

using BitMasks = std::array<std::uint8_t, kImageSize>;

// The bits that some setting shows, so that a difference there is already
// told by the settings and is not repeated as raw bytes.
BitMasks shownBits(const Image& a, const Image& b) {
    BitMasks shown{};
    for (const auto& field : boundFields()) {
        const FieldTag& f = field.field;
        const int mask = f.bitCount >= 8 ? 0xFF : ((1 << f.bitCount) - 1) << f.firstBit;
        shown[static_cast<std::size_t>(f.address)] |= static_cast<std::uint8_t>(mask);
    }
    for (const auto& box : promptBoxes()) {
        const auto at = static_cast<std::size_t>(box.address);
        shown[at] |= 0x0F;
        shown[at + 1] = 0xFF;
        const int count =
            std::min<int>(std::max(a.at(box.address + 1), b.at(box.address + 1)), kMaxPromptChars);
        for (int i = 0; i < count; ++i)
            shown[at + 2 + static_cast<std::size_t>(i)] = 0xFF;
    }
    return shown;
}

std::string addressText(int address) {
    char text[8];
    std::snprintf(text, sizeof text, "&H%03X", address);
    return text;
}

std::string shown(const Setting& s) {
    if (!s.value) return "(stored " + std::to_string(s.stored) + ", no list item)";
    return s.quoted ? quoteText(*s.value) : *s.value;
}

}  // namespace

std::string hexBytes(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    for (const auto byte : bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", byte);
        if (!text.empty()) text += ' ';
        text += hex;
    }
    return text;
}

ImageDiff diffImages(const Image& a, const Image& b) {
    ImageDiff diff;
    const auto settingsA = describeSettings(a);
    const auto settingsB = describeSettings(b);
    for (std::size_t i = 0; i < settingsA.size(); ++i) {
        const Setting& sa = settingsA[i];
        const Setting& sb = settingsB[i];
        if (sa.value != sb.value || (!sa.value && sa.stored != sb.stored))
            diff.settings.push_back({sa, sb});
    }
    const BitMasks shownMask = shownBits(a, b);
    for (int address = 0; address < kImageSize; ++address) {
        const int differing =
            (a.at(address) ^ b.at(address)) & ~shownMask[static_cast<std::size_t>(address)];
        if (differing == 0) continue;
        const bool extends = !diff.bytes.empty() && diff.bytes.back().to == address - 1 &&
                             diff.bytes.back().to - diff.bytes.back().from + 1 < kRunLength;
        if (!extends) diff.bytes.push_back(ByteRun{address, address, {}, {}});
        ByteRun& run = diff.bytes.back();
        run.to = address;
        run.a.push_back(a.at(address));
        run.b.push_back(b.at(address));
    }
    return diff;
}

std::string formatDiff(const ImageDiff& diff) {
    std::ostringstream out;
    if (diff.empty()) {
        out << "The two images are identical.\n";
        return out.str();
    }
    if (!diff.settings.empty()) out << "Settings that differ:\n";
    for (const auto& [sa, sb] : diff.settings) {
        out << "  " << sa.caption << " [" << sa.key << ", " << sa.control << "]: " << shown(sa)
            << " -> " << shown(sb) << "\n";
    }
    if (!diff.bytes.empty()) out << "Other bytes that differ:\n";
    for (const auto& run : diff.bytes) {
        out << "  " << addressText(run.from);
        if (run.to != run.from) out << "-" << addressText(run.to);
        out << ": " << hexBytes(run.a) << " -> " << hexBytes(run.b) << "\n";
    }
    return out.str();
}

}  // namespace kxp40s
