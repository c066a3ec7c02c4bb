#pragma once

#include <QWidget>
#include <chrono>

class QTimer;

namespace kxp40s::ui {

// The splash window `frmSplash`: shown at start on top of everything, without
// a title bar, with the busy cursor while it stands. Half a second after it
// is shown it raises showMainWindow(), on which the program makes and shows
// its main window; its second timer then closes it. It never closes before
// it has raised showMainWindow(), so the program always has a window open.
// The cursor is back to normal once it has closed.
class SplashWindow : public QWidget {
    Q_OBJECT

  public:
    static constexpr std::chrono::milliseconds kShowMainAfter{500};
    static constexpr std::chrono::milliseconds kCloseAfter{500};

    explicit SplashWindow(QWidget* parent = nullptr);
    ~SplashWindow() override;

  signals:
    void showMainWindow();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void showMainOnce();
    void unload();
    void restoreCursor();

    QTimer* showMainTimer_;
    QTimer* closeTimer_;
    bool started_ = false;
    bool mainShown_ = false;
    bool busyCursor_ = false;
};

}  // namespace kxp40s::ui
