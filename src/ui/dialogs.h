#pragma once

#include <QDialog>
#include <QPoint>
#include <memory>

#include "ui/widgets.h"

class QAbstractButton;

namespace kxp40s::ui {

// A window of the system other than the main one: modal, drawn without the
// standard title bar, with its own close box; its controls come from the
// catalogue and the layout table. It can be dragged by its background.
class FormDialog : public QDialog {
    Q_OBJECT

  public:
    FormDialog(Window window, QWidget* parent);

    ControlSet& controls() { return *controls_; }
    QAbstractButton* closeBox() const { return closeBox_; }
    QWidget* widget(ControlId id) const { return controls_->widget(id); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void addTitle(const ControlInfo& form);

    std::unique_ptr<ControlSet> controls_;
    QAbstractButton* closeBox_ = nullptr;
    QPoint dragFrom_;
};

// The function-bit dialog Form5 and the alert-length dialog Form6: every
// change is stored at once, so OK and the close box only close them.
void closeOnOk(FormDialog& dialog);

}  // namespace kxp40s::ui
