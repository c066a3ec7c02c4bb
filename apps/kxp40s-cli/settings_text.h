#pragma once

#include <istream>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "editors/session.h"

namespace kxp40s::cli {

// Every setting of the session as `key = value` lines, each after a comment
// with its caption; read-outs, settings the controls cannot show and values
// `set` would refuse (with its reason) are comments too, so that
// `set --from` takes the text back as it is.
std::string formatSettings(const Session& s);
nlohmann::json settingsJson(const Session& s);

struct Assignment {
    std::string key;
    std::string value;
    std::string origin;  // "line 12 of FILE" or "argument 3", for messages
};

// `key = value` lines: blank lines and lines starting with "#" are skipped;
// a value in double quotes is read with JSON escapes, any other value is
// trimmed. Throws Refusal for a line without "=".
std::vector<Assignment> parseSettingsText(std::istream& in, const std::string& name);

// A KEY=VALUE argument as typed: the value is taken exactly.
Assignment parseAssignment(const std::string& argument, int position);

}  // namespace kxp40s::cli
