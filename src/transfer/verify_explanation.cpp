#include "transfer/verify_explanation.h"

#include "editors/image_diff.h"

namespace kxp40s {

std::string verifyExplanation(const Session& started, const Image& expected, const Image& pager,
                              std::string_view name) {
    return "The pager differs from " + std::string(name) + " (a: " + std::string(name) +
           ", b: the pager):\n" + formatDiff(diffImages(started, expected, pager)) +
           "A write takes the pager's own contrast and firmware byte, computes the synthesizer\n"
           "words for that firmware, and adds the programmed mark (992) and the checksum\n"
           "(2046-2047): those come from the pager. Keep what was written with\n"
           "write --save-progress, or read the pager.\n";
}

}  // namespace kxp40s
