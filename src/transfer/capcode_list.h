#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace kxp40s {

// The capcodes of one pager of a series written from a list.
struct ListedCapcodes {
    std::int32_t capcode1 = 0;
    std::optional<std::int32_t> capcode2;  // none: capcode 2 stays as it is
};

struct CapcodeListRead {
    std::vector<ListedCapcodes> pagers;
    std::optional<std::string> error;  // set when a line is refused; nothing is taken then
};

// A list of capcodes, one line a pager: "cap1" or "cap1,cap2" (spaces
// around them allowed). Blank lines and lines starting with '#' are passed
// over. The whole list is checked before it is used, so that a series never
// stops at a bad line half-way: the first line that is not two numbers in
// 0..2097151 is refused, named by `name` and its line number.
CapcodeListRead parseCapcodeList(std::istream& in, const std::string& name);

}  // namespace kxp40s
