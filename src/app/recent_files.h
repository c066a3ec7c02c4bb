#pragma once

#include <cstddef>
#include <filesystem>
#include <vector>

namespace kxp40s {

// The table files last opened or saved, newest first, each once, at most
// kMax of them: what File offers to open again.
class RecentFiles {
  public:
    static constexpr std::size_t kMax = 8;

    RecentFiles() = default;
    // A list as it was kept: names that are empty, relative or repeated are
    // left out, and only the first kMax count.
    explicit RecentFiles(const std::vector<std::filesystem::path>& files);

    // `file` goes to the top; the oldest falls off a full list.
    void add(const std::filesystem::path& file);
    void remove(const std::filesystem::path& file);

    const std::vector<std::filesystem::path>& files() const { return files_; }
    bool operator==(const RecentFiles&) const = default;

  private:
    std::vector<std::filesystem::path> files_;
};

}  // namespace kxp40s
