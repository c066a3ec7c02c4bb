#pragma once

#include <string>
#include <vector>

namespace kxp40s {

// The arguments main() was given, in UTF-8 like every string of the program.
// Windows hands main() its ANSI code page, so there they are read again from
// the wide command line, and the console is set to show and read UTF-8.
// One source file per system.
std::vector<std::string> utf8Arguments(int argc, char** argv);

// utf8Arguments in the form main() and argument parsers take.
class ProgramArguments {
  public:
    ProgramArguments(int argc, char** argv) : arguments_(utf8Arguments(argc, argv)) {
        for (std::string& argument : arguments_)
            pointers_.push_back(argument.data());
        pointers_.push_back(nullptr);
    }
    ProgramArguments(const ProgramArguments&) = delete;
    ProgramArguments& operator=(const ProgramArguments&) = delete;

    int argc() const { return static_cast<int>(arguments_.size()); }
    char** argv() { return pointers_.data(); }

  private:
    std::vector<std::string> arguments_;
    std::vector<char*> pointers_;  // into arguments_, ending with nullptr as argv does
};

}  // namespace kxp40s
