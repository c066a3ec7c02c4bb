#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "image/image.h"
#include "report.h"

namespace kxp40s::cli {

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
nlohmann::json diffJson(const ImageDiff& diff);

}  // namespace kxp40s::cli
