#include "app/program_arguments.h"

namespace kxp40s {

// The terminal's encoding is UTF-8 on the systems the program supports.
std::vector<std::string> utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

}  // namespace kxp40s
