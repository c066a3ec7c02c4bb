#pragma once

#include <QObject>
#include <filesystem>
#include <vector>

class QAction;
class QMenu;

namespace kxp40s::ui {

// The recent files on the File menu, before `before` (Exit): one item per
// file, "1" to "8" its access keys, and a separator after them while there
// are any.
class RecentMenu : public QObject {
    Q_OBJECT

  public:
    RecentMenu(QMenu& menu, QAction* before);

    void show(const std::vector<std::filesystem::path>& files);
    const std::vector<QAction*>& items() const { return items_; }

  signals:
    void chosen(const std::filesystem::path& file);

  private:
    std::vector<QAction*> items_;
    std::vector<std::filesystem::path> files_;
    QAction* separator_;
};

}  // namespace kxp40s::ui
