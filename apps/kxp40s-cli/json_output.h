#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "app/board.h"
#include "editors/image_diff.h"
#include "editors/session.h"
#include "transfer/backups.h"
#include "transfer/pager_commands.h"

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

// What came of a read, write or verify, for --json.
struct TransferOutcome {
    std::string outcome;  // "done", "failed" or "stopped"
    std::string message;  // the last message: the system's own text
    std::string file;
    std::string port;                                // empty: no board was taken
    std::vector<std::filesystem::path> backups;      // kept by this command
    const Session* session = nullptr;                // the image at the end
    std::optional<std::vector<SeriesPager>> pagers;  // a series: each pager
};
// {"outcome", "message", "file", "port" (null: none), "backups": [...],
// "capcodes": [{"number", "capcode", "on"}...] (null without an image; not
// for a series), "pagers": [{"number", "capcode1", "capcode2", "result"}...]
// (a series only)}.
nlohmann::json transferJson(const TransferOutcome& outcome);

// "board", "busy", "denied" or "-": what `ports` says of a place the search looks at.
std::string portState(const PortAnswer& answer);
// What `ports --json`: {"ports": [{"port", "state"}...], "board": the first
// port where the board answered, or null}.
nlohmann::json portsJson(const std::vector<PortAnswer>& answers);

}  // namespace kxp40s::cli
