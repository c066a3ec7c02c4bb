// Draws the custom controls and the small windows into PNG files in the
// folder given as the only argument: widgets-splash.png, widgets-about.png,
// widgets-ncommand.png (image buttons up, pressed and disabled, and the close
// box up and pressed) and widgets-slider.png (horizontal and vertical).
#include <QApplication>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <cstdio>

#include "ui/widgets/about.h"
#include "ui/widgets/close_box.h"
#include "ui/widgets/eb_slider.h"
#include "ui/widgets/ncommand.h"
#include "ui/widgets/splash.h"

using namespace kxp40s::ui;

namespace {

bool save(QWidget& widget, const QDir& folder, const QString& name) {
    widget.ensurePolished();
    const QString path = folder.filePath(name);
    if (widget.grab().save(path)) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

// A panel in the window's colours with a note under each sample.
class Board : public QWidget {
  public:
    Board() {
        setAutoFillBackground(true);
        grid_->setContentsMargins(16, 14, 16, 10);
        grid_->setHorizontalSpacing(18);
        grid_->setVerticalSpacing(6);
    }
    template <typename W>
    W* add(W* sample, const QString& note, int column, Qt::Alignment align = Qt::AlignCenter) {
        grid_->addWidget(sample, 0, column, align);
        auto* label = new QLabel(note);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, QColor(0x5a, 0x66, 0x74));
        label->setPalette(palette);
        grid_->addWidget(label, 1, column, Qt::AlignHCenter | Qt::AlignTop);
        return sample;
    }

  private:
    QGridLayout* grid_ = new QGridLayout(this);
};

// Shows the board as the active window with `widget` focused.
void focusOn(QWidget& board, QWidget* widget) {
    board.adjustSize();
    board.show();
    QApplication::setActiveWindow(&board);
    widget->setFocus();
}

Ncommand* tabButton(const QString& caption) {
    auto* button = new Ncommand(caption);
    button->setFixedSize(102, 17);  // a tab button: 1530 x 255 twips
    return button;
}

bool drawButtons(const QDir& folder) {
    Board board;
    board.add(tabButton(QStringLiteral("Freq. && Codes")), QStringLiteral("up"), 0);
    board.add(tabButton(QStringLiteral("Alert && Status")), QStringLiteral("pressed"), 1)
        ->setDown(true);
    board.add(tabButton(QStringLiteral("Prompts Edit")), QStringLiteral("disabled"), 2)
        ->setEnabled(false);
    auto* wide = board.add(new Ncommand(QStringLiteral("Write")), QStringLiteral("75 x 25"), 3);
    wide->setFixedSize(75, 25);
    auto* focused =
        board.add(tabButton(QStringLiteral("Source Prompts")), QStringLiteral("focused"), 4);
    board.add(new CloseBox, QStringLiteral("close"), 5);
    board.add(new CloseBox, QStringLiteral("pressed"), 6)->setDown(true);
    focusOn(board, focused);
    return save(board, folder, QStringLiteral("widgets-ncommand.png"));
}

bool drawSliders(const QDir& folder) {
    Board board;
    auto* contrast = board.add(new EBSlider, QStringLiteral("contrast 1-8 at 5, focused"), 0);
    contrast->setFixedSize(180, 24);
    contrast->setMax(8);
    contrast->setMin(1);
    contrast->setValue(5);
    auto* framed = board.add(new EBSlider, QStringLiteral("0-100 at 30, BorderStyle 1"), 1);
    framed->setBorderStyle(1);
    framed->setFixedSize(180, 28);
    framed->setValue(30);
    auto* vertical = board.add(new EBSlider, QStringLiteral("vertical, coloured"), 2);
    vertical->setOrientation(1);
    vertical->setFixedSize(26, 120);
    vertical->setMax(10);
    vertical->setValue(7);
    vertical->setSliderColor(QColor(0x3b, 0x62, 0x8f));
    focusOn(board, contrast);
    return save(board, folder, QStringLiteral("widgets-slider.png"));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot make %s\n", argv[1]);
        return 1;
    }
    SplashWindow splash;
    AboutWindow about;
    const bool ok = save(splash, folder, QStringLiteral("widgets-splash.png")) &&
                    save(about, folder, QStringLiteral("widgets-about.png")) &&
                    drawButtons(folder) && drawSliders(folder);
    return ok ? 0 : 1;
}
