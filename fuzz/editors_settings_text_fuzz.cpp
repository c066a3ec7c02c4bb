// The settings text of kxp40s-cli is outside input: `set --from` reads files
// anyone may have edited, and `show A | set B --from -` must take back every
// row that `show` printed. An input whose first byte is even is a settings
// text, applied as `set --from` applies it (refusals are fine, crashes are
// not). Otherwise the rest is a list of patches (address high, address low,
// byte) to the default image: `show` of that image, applied to a freshly
// started session, must not be refused anywhere, and `show` of that session
// must then print every value row as the first did.
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/startup.h"
#include "editors/load_image.h"
#include "editors/settings.h"
#include "editors/settings_text.h"
#include "image/default_tables.h"

namespace {

using namespace kxp40s;

// As `set` applies one assignment; false when refused.
bool applied(Session& s, const Assignment& assignment) {
    const SettingDef* def = findSetting(assignment.key);
    if (!def || def->readOnly || !def->apply) return false;
    return !def->apply(s, assignment.value).refused;
}

void applySettingsText(const std::string& text) {
    std::istringstream in(text);
    Session s = startedSession();
    for (const auto& assignment : parseSettingsText(in, "fuzz").assignments)
        if (!applied(s, assignment)) return;
}

Image patchedImage(const std::uint8_t* data, std::size_t size) {
    Image image = defaultImage();
    for (std::size_t at = 0; at + 3 <= size; at += 3)
        image.set((data[at] << 8 | data[at + 1]) % kImageSize, data[at + 2]);
    return image;
}

[[noreturn]] void fail(const std::string& what) {
    std::cerr << what << "\n";
    std::abort();
}

std::vector<Assignment> rowsOf(const std::string& text, const std::string& name) {
    std::istringstream in(text);
    AssignmentsRead read = parseSettingsText(in, name);
    if (read.error) fail(*read.error);
    return std::move(read.assignments);
}

void showThenSet(const Image& image) {
    Session a = startedSession();
    loadImage(a, image);
    const auto shown = rowsOf(formatSettings(a), "show A");
    Session b = startedSession();
    for (const auto& row : shown) {
        if (!applied(b, row))
            fail("set refused " + row.origin + ": " + row.key + " = " + row.value);
    }
    std::map<std::string, std::string> inB;
    for (const auto& row : rowsOf(formatSettings(b), "show B"))
        inB[row.key] = row.value;
    // Spaces after a prompt's text are the one thing no box stores.
    const auto withoutTrailingSpaces = [](const std::string& text) {
        return text.substr(0, text.find_last_not_of(' ') + 1);
    };
    for (const auto& row : shown) {
        if (withoutTrailingSpaces(inB[row.key]) != withoutTrailingSpaces(row.value))
            fail("B shows " + row.key + " = " + inB[row.key] + ", A " + row.value);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    if (data[0] % 2 == 0) {
        applySettingsText(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    } else {
        showThenSet(patchedImage(data + 1, size - 1));
    }
    return 0;
}
