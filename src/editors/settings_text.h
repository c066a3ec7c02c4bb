#pragma once

#include <istream>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "editors/session.h"

namespace kxp40s {

// Every setting of the session as `key = value` lines, each after a comment
// with its caption; read-outs, settings the controls cannot show and values
// `set` would refuse (with its reason) are comments too, so that
// `set --from` takes the text back as it is.
std::string formatSettings(const Session& s);

struct Assignment {
    std::string key;
    std::string value;
    std::string origin;  // "line 12 of FILE" or "argument 3", for messages
};

// Assignments as read: all of them in order, or none and the message that
// names the first one that cannot be read.
struct AssignmentsRead {
    std::vector<Assignment> assignments;
    std::optional<std::string> error;
};

// `key = value` lines: blank lines and lines starting with "#" are skipped;
// a value in double quotes is read with JSON escapes (unquoteText), any
// other value is trimmed. A line without "=" is an error.
AssignmentsRead parseSettingsText(std::istream& in, const std::string& name);

// KEY=VALUE arguments as typed, the first one "argument 1": each value is
// taken exactly. An argument without "=" is an error.
AssignmentsRead parseArguments(std::span<const std::string> arguments);

}  // namespace kxp40s
