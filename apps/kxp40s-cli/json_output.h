#pragma once

#include <nlohmann/json.hpp>

#include "app/board.h"
#include "editors/image_diff.h"
#include "editors/session.h"
#include "transfer/backups.h"

namespace kxp40s::cli {

// What `show --json` prints: the identity, then the settings and the
// read-outs, each an object of key and shown value (null: no item).
nlohmann::json settingsJson(const Session& s);

// What `diff --json` prints: whether the images are identical, the settings
// that differ (key, caption and the value in either, null: no item) and the
// runs of other bytes that differ.
nlohmann::json diffJson(const ImageDiff& diff);

// What `backups list --json` prints: the folder and the backups, newest
// first (capcode1 null when the file cannot be read).
nlohmann::json backupsJson(const std::filesystem::path& folder,
                           const std::vector<BackupEntry>& entries);

// "board", "busy" or "-": what `ports` says of a place the search looks at.
std::string portState(const PortAnswer& answer);
// What `ports --json`: {"ports": [{"port", "state"}...], "board": the first
// port where the board answered, or null}.
nlohmann::json portsJson(const std::vector<PortAnswer>& answers);

}  // namespace kxp40s::cli
