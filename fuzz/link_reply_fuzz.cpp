// The board's bytes are outside input: the reply checks must take anything
// without reading past it.
#include <cstdint>
#include <span>

#include "link/frames.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    kxp40s::identifyReplyAccepted(bytes);
    kxp40s::checksumMatches(bytes);
    if (size > 0) kxp40s::readReplyData(bytes.subspan(1), data[0] % 130);
    return 0;
}
