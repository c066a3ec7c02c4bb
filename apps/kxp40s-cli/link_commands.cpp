#include "cli.h"

namespace kxp40s::cli {

void registerLinkCommands(CLI::App& /*app*/, Streams& /*io*/) {}

}  // namespace kxp40s::cli
