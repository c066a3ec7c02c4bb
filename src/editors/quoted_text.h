#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kxp40s {

// A free text in double quotes with JSON string escapes, as the settings
// text writes it so that spaces at either end survive: '"', '\' and the
// control characters are escaped (\b \f \n \r \t, the others as \u00xx);
// every other byte, UTF-8 included, is written as it is.
std::string quoteText(std::string_view text);

// The text of a quoted value, as UTF-8: the escapes above, \/ and any \uXXXX
// (a surrogate pair for a character above U+FFFF). Only white space may
// follow the closing quote. Nullopt when the value is not one quoted text:
// no quote at either end, an unknown escape, a lone surrogate, a control
// character as it is, or bytes that are not UTF-8.
std::optional<std::string> unquoteText(std::string_view quoted);

}  // namespace kxp40s
