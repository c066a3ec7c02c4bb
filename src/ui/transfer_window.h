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
    void setProgressColour(long colour);
    void setStatusText(const std::string& text);

    // Writes pager after pager with `app` until the user leaves by Exit or
    // the close box.
    void runSeries(Application& app);
    // The program is asked to end: a series ends as soon as no pager is
    // being written (at once, or when the write under way has finished).
    void leaveSeriesSoon();

  signals:
    // Escape, Exit or the close box between two pagers of a series.
    void seriesLeft();

  protected:
    void reject() override;

  private:
    void writeNext(Application& app);

    QProgressBar* bar_;
    QLabel* status_;
    bool open_ = false;
    bool inSeries_ = false;
    bool writing_ = false;
    bool leaveSoon_ = false;
};

}  // namespace kxp40s::ui
