#pragma once

#include <QAbstractButton>
#include <QColor>

namespace kxp40s::ui {

// The program's image button `Ncommand`: a face the program draws, released
// or pressed, with a centred caption. The caption shows in UpColor while the
// button is up, in DnColor while it is held down and in light grey while the
// button is disabled. A press released over the button raises Click
// (clicked()); Space does the same while it has the focus. The font is its
// container's unless one is set. In the caption "&&" shows one "&" and "&x"
// makes Alt+x a shortcut.
class Ncommand : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(QColor DnColor READ dnColor WRITE setDnColor)
    Q_PROPERTY(QColor UpColor READ upColor WRITE setUpColor)

  public:
    static const QColor kDisabledCaption;

    explicit Ncommand(QWidget* parent = nullptr);
    explicit Ncommand(const QString& caption, QWidget* parent = nullptr);

    QString caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }
    QColor dnColor() const { return dnColor_; }
    void setDnColor(const QColor& colour);
    QColor upColor() const { return upColor_; }
    void setUpColor(const QColor& colour);

    // The caption's colour as it shows now.
    QColor captionColor() const;
    // Where the caption stands: centred, each offset rounded half up.
    QRect captionRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor dnColor_ = Qt::black;
    QColor upColor_ = Qt::white;
};

}  // namespace kxp40s::ui
