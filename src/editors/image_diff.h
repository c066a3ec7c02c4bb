#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editors/session.h"
#include "editors/settings_report.h"
#include "image/image.h"

namespace kxp40s {

// A setting that `show` prints differently for the two images.
struct SettingChange {
    ShownSetting a, b;
};

// A run of differing bytes whose difference the listed settings do not tell.
struct ByteRun {
    int from = 0, to = 0;  // addresses, inclusive
    std::vector<std::uint8_t> a, b;
};

struct ImageDiff {
    std::vector<SettingChange> settings;
    std::vector<ByteRun> bytes;
    bool empty() const { return settings.empty() && bytes.empty(); }
};

// How two images differ, each opened in a copy of `started` as `show` opens
// a table file: every setting `show` prints differently (read-outs
// included), in its order, then the bytes whose difference those settings
// do not tell. Empty only when the images are equal.
ImageDiff diffImages(const Session& started, const Image& a, const Image& b);
std::string formatDiff(const ImageDiff& diff);

// "01 02 FF": a run's bytes in hexadecimal.
std::string hexBytes(const std::vector<std::uint8_t>& bytes);

}  // namespace kxp40s
