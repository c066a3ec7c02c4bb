#pragma once

#include <QIcon>
#include <QProxyStyle>
#include <map>

namespace kxp40s::ui {

// The program's look (Fusion), with each standard icon made once, and the
// boxes of check and option buttons as large as their captions' font. Qt
// makes the icons of a dialog's buttons anew from their image files for
// every dialog, and its pixmap cache keeps each one painted: a message box
// after every write made the program grow by about 2 KB a write. The window
// scales its fonts with its size; a box of a fixed size would crowd out its
// caption in a window scaled down to fit a small screen.
class ProgramStyle : public QProxyStyle {
    Q_OBJECT

  public:
    ProgramStyle();

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;

  private:
    mutable std::map<StandardPixmap, QIcon> icons_;
};

}  // namespace kxp40s::ui
