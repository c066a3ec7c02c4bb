#pragma once

#include <QIcon>
#include <QProxyStyle>
#include <map>

namespace kxp40s::ui {

// The program's look (Fusion), with each standard icon made once. Qt makes
// the icons of a dialog's buttons anew from their image files for every
// dialog, and its pixmap cache keeps each one painted: a message box after
// every write made the program grow by about 2 KB a write.
class ProgramStyle : public QProxyStyle {
    Q_OBJECT

  public:
    ProgramStyle();

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;

  private:
    mutable std::map<StandardPixmap, QIcon> icons_;
};

}  // namespace kxp40s::ui
