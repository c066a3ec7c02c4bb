#include "app/recent_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kxp40s {
namespace {

using Paths = std::vector<std::filesystem::path>;

// A file in /t, absolute on every system (C:\t on Windows).
std::filesystem::path t(const std::string& name) {
    return std::filesystem::absolute("/t") / name;
}

Paths numbered(int from, int to) {
    Paths files;
    for (int n = from; n <= to; ++n)
        files.push_back(t(std::to_string(n) + ".tbl"));
    return files;
}

TEST(RecentFiles, KeepTheNewestEightOnceEach) {
    struct Case {
        const char* name;
        Paths kept;   // as read back
        Paths added;  // then added in this order
        Paths want;
    };
    const std::vector<Case> cases = {
        {"added on top", {t("a.tbl")}, {t("b.tbl")}, {t("b.tbl"), t("a.tbl")}},
        {"added again moves up", {t("a.tbl"), t("b.tbl")}, {t("b.tbl")}, {t("b.tbl"), t("a.tbl")}},
        {"the ninth pushes the oldest off",
         numbered(1, 8),
         {t("9.tbl")},
         [] {
             Paths want{t("9.tbl")};
             for (const auto& p : numbered(1, 7))
                 want.push_back(p);
             return want;
         }()},
        {"a long kept list is cut", numbered(1, 10), {}, numbered(1, 8)},
        {"repeated, empty and relative names are dropped",
         {t("a.tbl"), "", t("b.tbl"), "b.tbl", t("a.tbl")},
         {},
         {t("a.tbl"), t("b.tbl")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecentFiles recent(c.kept);
        for (const auto& file : c.added)
            recent.add(file);
        EXPECT_EQ(recent.files(), c.want);
    }
}

}  // namespace
}  // namespace kxp40s
