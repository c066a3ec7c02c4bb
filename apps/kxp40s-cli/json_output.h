#pragma once

#include <nlohmann/json.hpp>

#include "editors/image_diff.h"
#include "editors/session.h"

namespace kxp40s::cli {

// What `show --json` prints: the identity, then the settings and the
// read-outs, each an object of key and shown value (null: no item).
nlohmann::json settingsJson(const Session& s);

// What `diff --json` prints: whether the images are identical, the settings
// that differ (key, caption and the value in either, null: no item) and the
// runs of other bytes that differ.
nlohmann::json diffJson(const ImageDiff& diff);

}  // namespace kxp40s::cli
