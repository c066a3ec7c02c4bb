#pragma once

#include <string>

#include "app/application.h"
#include "ui/dialogs.h"

class QProgressBar;
class QLabel;

namespace kxp40s::ui {

// The transfer window Form2: modal while a read, write or verify runs, with
// its progress bar and status line; during a series it stays open and each
// press of Write writes the next pager. It cannot be closed while a pager is
// being written.
class TransferWindow : public FormDialog {
    Q_OBJECT

  public:
    explicit TransferWindow(QWidget* parent);

    // A new transfer: an empty bar and status line. The window shows itself
    // once the transfer has something to show, so that a command the core
    // cancels at once never flashes it.
    void open();
    void ensureShown();
    void finish();

    void setProgressMaximum(int maximum);
    void setProgressValue(int value);
    void setProgressColour(Colour colour);
    void setStatusText(const std::string& text);

    // During a series: waits until the user presses Write (the next pager
    // is on the board) or leaves by Exit or the close box.
    NextPager waitForPager();

  signals:
    // Exit, the close box or Escape while the window waits for a pager.
    void left();

  protected:
    void reject() override;

  private:
    QProgressBar* bar_;
    QLabel* status_;
    bool open_ = false;
    bool waiting_ = false;
};

}  // namespace kxp40s::ui
