// Table files come from anywhere: whatever their bytes, reading one gives
// either an image that carries the model text or the format message. Half
// the inputs get the model text planted so that the accepting path is fuzzed too.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "files/table_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes(data, data + size);
    if (size > 998 && (data[0] & 1)) std::memcpy(bytes.data() + 993, "KXP40", 5);
    const auto read = kxp40s::parseTableBytes(bytes, "fuzz.tbl");
    if (read.image.has_value() == read.message.has_value()) std::abort();
    if (read.image && !kxp40s::hasModelText(*read.image)) std::abort();
    const std::size_t kept = std::min<std::size_t>(size, 2048);
    if (read.image && !std::equal(bytes.begin(), bytes.begin() + static_cast<long>(kept),
                                  read.image->bytes().begin())) {
        std::abort();
    }
    if (read.image &&
        !std::all_of(read.image->bytes().begin() + static_cast<long>(kept),
                     read.image->bytes().end(), [](std::uint8_t b) { return b == 0; })) {
        std::abort();
    }
    return 0;
}
