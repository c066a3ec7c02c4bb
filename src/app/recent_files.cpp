#include "app/recent_files.h"

#include <algorithm>

namespace kxp40s {

RecentFiles::RecentFiles(const std::vector<std::filesystem::path>& files) {
    for (auto it = files.rbegin(); it != files.rend(); ++it) {
        if (it->is_absolute()) add(*it);
    }
}

void RecentFiles::add(const std::filesystem::path& file) {
    remove(file);
    files_.insert(files_.begin(), file);
    if (files_.size() > kMax) files_.resize(kMax);
}

void RecentFiles::remove(const std::filesystem::path& file) {
    files_.erase(std::remove(files_.begin(), files_.end(), file), files_.end());
}

}  // namespace kxp40s
