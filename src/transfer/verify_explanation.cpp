#include "transfer/verify_explanation.h"

#include "editors/image_diff.h"

namespace kxp40s {

std::string verifyExplanation(const Session& started, const Image& expected, const Image& pager,
                              std::string_view name) {
    return "The pager differs from " + std::string(name) +
           " as a write would have put it on the pager (a: " + std::string(name) +
           ", b: the pager):\n" + formatDiff(diffImages(started, expected, pager));
}

}  // namespace kxp40s
