#include "editors/image_diff.h"

#include <algorithm>
#include <cstdio>
#include <span>
#include <sstream>

#include "editors/load_image.h"

namespace kxp40s {

namespace {

// Longest run printed on one line; longer runs continue on the next.
constexpr int kRunLength = 16;

std::vector<ShownSetting> shownSettings(const Session& started, const Image& image) {
    Session s = started;
    loadImage(s, image);
    return describeSettings(s);
}

// An image as `show` prints it, and whether a one-bit change alters that.
//
// The bytes a setting covers are derived this way rather than listed: a
// differing bit is told by the settings when flipping it alone, in either
// image, changes the printed value of a setting that differs. That follows
// every editor's own reading of the image (bit fields, a record whose count
// decides how many characters show, the words the frequency is computed
// from, bytes that loading rewrites) with no list to keep in step, and a
// difference the listed settings do not tell (changes that cancel out, a
// bit no setting reads) is never hidden: its byte is listed.
class ShownImage {
  public:
    ShownImage(const Session& started, const Image& image)
        : started_(started), image_(image), settings_(shownSettings(started, image)) {}

    const Image& image() const { return image_; }
    const std::vector<ShownSetting>& settings() const { return settings_; }

    // Whether flipping `bit` of the byte at `address` changes the printed
    // value of any of the settings at `indexes`.
    bool alters(int address, std::uint8_t bit, std::span<const std::size_t> indexes) const {
        if (indexes.empty()) return false;
        Image flipped = image_;
        flipped.set(address, static_cast<std::uint8_t>(image_.at(address) ^ bit));
        const auto shown = shownSettings(started_, flipped);
        return std::any_of(indexes.begin(), indexes.end(),
                           [&](std::size_t i) { return shown[i].text != settings_[i].text; });
    }

  private:
    const Session& started_;
    Image image_;
    std::vector<ShownSetting> settings_;
};

// Whether some bit of the byte at `address` differs without a listed
// setting telling it.
bool differsUntold(const ShownImage& a, const ShownImage& b, std::span<const std::size_t> listed,
                   int address) {
    const int differing = a.image().at(address) ^ b.image().at(address);
    for (int n = 0; n < 8; ++n) {
        const auto bit = static_cast<std::uint8_t>(1 << n);
        if ((differing & bit) && !a.alters(address, bit, listed) && !b.alters(address, bit, listed))
            return true;
    }
    return false;
}

void appendByte(std::vector<ByteRun>& runs, const Image& a, const Image& b, int address) {
    const bool extends = !runs.empty() && runs.back().to == address - 1 &&
                         runs.back().to - runs.back().from + 1 < kRunLength;
    if (!extends) runs.push_back(ByteRun{address, address, {}, {}});
    ByteRun& run = runs.back();
    run.to = address;
    run.a.push_back(a.at(address));
    run.b.push_back(b.at(address));
}

std::string addressText(int address) {
    char text[8];
    std::snprintf(text, sizeof text, "&H%03X", address);
    return text;
}

// "  baud (POCSAG Signal Baud Rate): 1200 bps -> 2400 bps"
std::string settingLine(const SettingChange& change) {
    const SettingDef& def = *change.a.def;
    const std::string caption = def.caption.empty() ? "" : " (" + def.caption + ")";
    return "  " + def.key + caption + ": " + change.a.text + " -> " + change.b.text + "\n";
}

std::string byteLine(const ByteRun& run) {
    const std::string to = run.to == run.from ? "" : "-" + addressText(run.to);
    return "  " + addressText(run.from) + to + ": " + hexBytes(run.a) + " -> " + hexBytes(run.b) +
           "\n";
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

ImageDiff diffImages(const Session& started, const Image& a, const Image& b) {
    const ShownImage shownA(started, a);
    const ShownImage shownB(started, b);
    ImageDiff diff;
    std::vector<std::size_t> listed;
    for (std::size_t i = 0; i < shownA.settings().size(); ++i) {
        if (shownA.settings()[i].text == shownB.settings()[i].text) continue;
        diff.settings.push_back({shownA.settings()[i], shownB.settings()[i]});
        listed.push_back(i);
    }
    for (int address = 0; address < kImageSize; ++address) {
        if (differsUntold(shownA, shownB, listed, address)) appendByte(diff.bytes, a, b, address);
    }
    return diff;
}

std::string formatDiff(const ImageDiff& diff) {
    if (diff.empty()) return "The two images are identical.\n";
    std::ostringstream out;
    if (!diff.settings.empty()) out << "Settings that differ:\n";
    for (const auto& change : diff.settings)
        out << settingLine(change);
    if (!diff.bytes.empty()) out << "Other bytes that differ:\n";
    for (const auto& run : diff.bytes)
        out << byteLine(run);
    return out.str();
}

}  // namespace kxp40s
