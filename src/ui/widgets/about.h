#pragma once

#include <QDialog>
#include <QPoint>
#include <optional>

namespace kxp40s::ui {

class CloseBox;
class Ncommand;

// The About window `frmAbout`: modal and without a title bar, with the
// product's title, its version and the model it programs. Its close box
// (`CloseAbout`), its OK button (`cmdOK`), Enter and Escape close it; it can
// be moved by dragging its title band.
class AboutWindow : public QDialog {
    Q_OBJECT

  public:
    explicit AboutWindow(QWidget* parent = nullptr);

    Ncommand* okButton() const { return ok_; }
    CloseBox* closeBox() const { return close_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    Ncommand* ok_;
    CloseBox* close_;
    std::optional<QPoint> dragFrom_;  // where in the window the title band was grabbed
};

}  // namespace kxp40s::ui
