#include "ui/recent_menu.h"

#include <QMenu>

#include "app/recent_files.h"
#include "ui/widgets.h"

namespace kxp40s::ui {

namespace {

// "&1 /path/file.tbl": a "&" in the path is shown as itself.
QString itemText(std::size_t number, const std::filesystem::path& file) {
    const QString path = qPath(file).replace('&', QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(number).arg(path);
}

}  // namespace

RecentMenu::RecentMenu(QMenu& menu, QAction* before) : QObject(&menu) {
    for (std::size_t i = 0; i < RecentFiles::kMax; ++i) {
        auto* item = new QAction(&menu);
        item->setObjectName(QStringLiteral("mnuRecent%1").arg(i + 1));
        item->setVisible(false);
        connect(item, &QAction::triggered, this, [this, i] {
            if (i < files_.size()) emit chosen(files_[i]);
        });
        menu.insertAction(before, item);
        items_.push_back(item);
    }
    separator_ = new QAction(&menu);
    separator_->setSeparator(true);
    separator_->setVisible(false);
    menu.insertAction(before, separator_);
}

void RecentMenu::show(const std::vector<std::filesystem::path>& files) {
    files_ = files;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const bool used = i < files.size();
        items_[i]->setVisible(used);
        items_[i]->setText(used ? itemText(i + 1, files[i]) : QString());
    }
    separator_->setVisible(!files.empty());
}

}  // namespace kxp40s::ui
