#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editors/settings_report.h"
#include "image/image.h"

namespace kxp40s {

struct SettingChange {
    Setting a, b;
};

// A run of bytes that differ outside what the settings show.
struct ByteRun {
    int from = 0, to = 0;  // addresses, inclusive
    std::vector<std::uint8_t> a, b;
};

struct ImageDiff {
    std::vector<SettingChange> settings;
    std::vector<ByteRun> bytes;
    bool empty() const { return settings.empty() && bytes.empty(); }
};

ImageDiff diffImages(const Image& a, const Image& b);
std::string formatDiff(const ImageDiff& diff);

// "01 02 FF": a run's bytes in hexadecimal.
std::string hexBytes(const std::vector<std::uint8_t>& bytes);

}  // namespace kxp40s
