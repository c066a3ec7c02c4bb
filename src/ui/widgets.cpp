#include "ui/widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QToolButton>
#include <QValidator>
#include <algorithm>
#include <array>

#include "files/system.h"
#include "image/text.h"
#include "ui/accessible_list.h"
#include "ui/widgets/close_box.h"
#include "ui/widgets/eb_slider.h"
#include "ui/widgets/ncommand.h"

namespace kxp40s::ui {

namespace {

using enum ControlKind;

// Boxes whose text only the program fills.
bool isReadOnlyBox(ControlId id) {
    return id.name().starts_with("tlbl");
}

// The prompt boxes hold what the pager stores: Windows-1252 text.
bool holdsPagerText(ControlId id) {
    return id.name() == "txtPrompt";
}

// Refuses any character the pager's code page cannot store, as it is typed
// or pasted.
class Windows1252Validator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return utf8ToWindows1252(input.toStdString()) ? Acceptable : Invalid;
    }
};

// The page boxes sit on the tab strip's background as raised panels.
bool isPageBox(ControlId id) {
    return std::any_of(pageTabs().begin(), pageTabs().end(),
                       [&](const PageTab& tab) { return tab.box == id; });
}

// The tab buttons are the program's own image buttons.
bool isTabButton(ControlId id) {
    return std::any_of(pageTabs().begin(), pageTabs().end(),
                       [&](const PageTab& tab) { return tab.button == id; });
}

// A page of the main window: a raised panel. It takes the focus when its tab
// is chosen, so that no box of another page keeps it, and shows that it has
// it; Tab goes on to its first control.
class PageBox : public QFrame {
  public:
    explicit PageBox(QWidget* parent) : QFrame(parent) {
        setFrameShape(QFrame::StyledPanel);
        setFrameShadow(QFrame::Raised);
        setAutoFillBackground(true);
        setFocusPolicy(Qt::ClickFocus);
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QFrame::paintEvent(event);
        if (!hasFocus()) return;
        QStylePainter painter(this);
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(2, 2, -2, -2);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
};

QWidget* makePanel(ControlId id, QWidget* parent) {
    if (isPageBox(id)) return new PageBox(parent);
    return new QFrame(parent);
}

QWidget* makeWidget(const ControlInfo& info, ControlId id, QWidget* parent) {
    const QString caption = qText(info.caption);
    switch (info.kind) {
        case Frame:
            return new QGroupBox(caption, parent);
        case PictureBox:
            return makePanel(id, parent);
        case Label: {
            auto* label = new QLabel(labelText(info.caption), parent);
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            return label;
        }
        case TextBox: {
            auto* box = new QLineEdit(parent);
            // Text comes in through the box's own events only; a dropped
            // file goes to the window.
            box->setAcceptDrops(false);
            if (info.maxLength > 0) box->setMaxLength(info.maxLength);
            if (holdsPagerText(id)) box->setValidator(new Windows1252Validator(box));
            if (isReadOnlyBox(id)) {
                box->setReadOnly(true);
                box->setFocusPolicy(Qt::NoFocus);
                box->setAlignment(Qt::AlignCenter);
            }
            return box;
        }
        case ComboBox: {
            auto* list = new ListBox(parent);
            for (const std::string_view item : info.items)
                list->addItem(qText(item));
            list->setCurrentIndex(-1);
            return list;
        }
        case CheckBox:
            return new QCheckBox(caption, parent);
        case OptionButton:
            return new QRadioButton(caption, parent);
        case CommandButton:
            if (isTabButton(id)) return new Ncommand(caption, parent);
            return new QPushButton(caption, parent);
        case Slider: {
            auto* slider = new EBSlider(parent);
            if (info.range) {
                slider->setMax(info.range->max);
                slider->setMin(info.range->min);
            }
            slider->setBorderStyle(1);
            slider->setFocusPolicy(Qt::StrongFocus);
            return slider;
        }
        case ProgressBar:
            return new QProgressBar(parent);
        case CloseBox:
            return new ui::CloseBox(parent);
        case Form:
        case Menu:
        case MenuItem:
        case Timer:
            break;
    }
    return nullptr;
}

void showText(QWidget* w, const ControlInfo& info, const ControlState& state) {
    if (auto* box = qobject_cast<QLineEdit*>(w)) {
        const QString text = qText(state.text);
        if (box->text() != text) box->setText(text);
        const int maxLength = state.maxLength > 0 ? state.maxLength : info.maxLength;
        box->setMaxLength(maxLength > 0 ? maxLength : 32767);
        QFont font = box->font();
        font.setBold(state.bold);
        box->setFont(font);
    } else if (auto* list = qobject_cast<QComboBox*>(w)) {
        list->setCurrentIndex(state.value >= 0 && state.value < list->count() ? state.value : -1);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w); button && button->isCheckable()) {
        button->setChecked(state.value != 0);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        // A label the program fills shows its text; one it never filled
        // keeps its caption.
        label->setText(state.text.empty() ? labelText(info.caption) : qText(state.text));
    } else if (auto* slider = qobject_cast<EBSlider*>(w)) {
        slider->setValue(state.value);
    }
}

// The controls Write mode disables, by their names' prefixes.
bool locksInWriteMode(ControlId id) {
    static constexpr std::array<std::string_view, 5> kPrefixes = {"txt", "opt", "cbo", "chk",
                                                                  "cmd"};
    const std::string_view name = id.name();
    return std::any_of(kPrefixes.begin(), kPrefixes.end(),
                       [&](std::string_view prefix) { return name.starts_with(prefix); });
}

// `lblContrast` has no text of its own: it shows the grey of the contrast
// as a swatch, in the colour the core gives its text.
void showGrey(QWidget* w, int level) {
    const int grey = std::clamp(level, 0, 255);
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, QColor(grey, grey, grey));
    p.setColor(QPalette::Window, QColor(grey, grey, grey));
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

// The tool tip, and what assistive technology calls the control and how it
// describes it. A label and a frame are read by their own text.
void describe(QWidget& w, const ControlInfo& info) {
    if (!info.toolTip.empty()) {
        w.setToolTip(qText(info.toolTip));
        w.setAccessibleDescription(qText(info.toolTip));
    }
    if (info.kind != Label && info.kind != Frame) w.setAccessibleName(qText(accessibleName(info)));
}

}  // namespace

QString qText(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString qPath(const std::filesystem::path& path) {
    return qText(utf8Text(path));
}

std::filesystem::path pathOf(const QString& text) {
    std::filesystem::path path = pathFromUtf8(text.toStdString());
    return path.make_preferred();
}

QString labelText(std::string_view caption) {
    return qText(caption).replace(QStringLiteral("&&"), QStringLiteral("&"));
}

QString menuText(const ControlInfo& info) {
    QString text = qText(info.caption);
    const qsizetype key = info.accessKey ? text.indexOf(QChar(info.accessKey)) : -1;
    if (key >= 0) text.insert(key, QChar('&'));
    return text;
}

QColor colourOf(Colour colour, const QPalette& palette) {
    constexpr Colour kSystemColour = 0x80000000;
    constexpr Colour kHighlight = 0x0D;
    if (colour >= kSystemColour) {
        return (colour - kSystemColour) == kHighlight ? palette.color(QPalette::Highlight)
                                                      : palette.color(QPalette::WindowText);
    }
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

void emphasize(QWidget* w, int larger) {
    if (!w) return;
    QFont bold;
    bold.setBold(true);
    if (larger > 0) bold.setPixelSize(kFontPixels + larger);
    w->setFont(bold);
}

ControlSet::ControlSet(Window window, QWidget* root) : window_(window), root_(root) {
    for (const ControlInfo* info : windowControls(window)) {
        for (const ControlId id : info->ids()) {
            infos_.insert_or_assign(id, info);
            if (info->kind == Form) widgets_.insert_or_assign(id, root);
            if (const Placement* placement = findPlacement(window, id)) make(*info, id, *placement);
        }
    }
    orderFocus();
    scaleTo(designSize(window).pixels().size());
}

// The keyboard visits the controls in the layout table's order.
void ControlSet::orderFocus() const {
    QWidget* previous = nullptr;
    for (const Placement& placement : layoutOf(window_)) {
        QWidget* w = widget(placement.id);
        if (!w || w->focusPolicy() == Qt::NoFocus) continue;
        if (previous) QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

QWidget* ControlSet::containerOf(const ControlInfo& info, ControlId id) const {
    // An array member's container may be the member of the same index of
    // another array (`cmdFunc`(3) lies in `picFunBit`(3)).
    for (const int index : {id.index(), -1}) {
        if (!findControl(info.container, index)) continue;
        const auto it = widgets_.find(ControlId{info.container, index});
        if (it != widgets_.end()) return it->second;
    }
    return root_;
}

void ControlSet::adopt(ControlId id, QWidget* w) {
    describe(*w, controlInfo(id));
    widgets_.insert_or_assign(id, w);
}

void ControlSet::make(const ControlInfo& info, ControlId id, const Placement& placement) {
    QWidget* container = containerOf(info, id);
    QWidget* w = makeWidget(info, id, container);
    if (!w) return;
    w->setObjectName(qText(id.text()));
    describe(*w, info);
    if (placement.startsHidden) w->hide();
    widgets_.insert_or_assign(id, w);
    placed_.push_back({w, placement.rect, info.kind == ComboBox});
    if (placement.caption) addCaption(info, placement, container);
}

void ControlSet::addCaption(const ControlInfo& info, const Placement& placement,
                            QWidget* container) {
    QWidget* parent = placement.captionIn == CaptionIn::OuterContainer && container->parentWidget()
                          ? container->parentWidget()
                          : container;
    auto* label = new QLabel(labelText(info.caption), parent);
    if (placement.captionIn == CaptionIn::OuterContainer) {
        label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        label->setWordWrap(true);
    }
    if (!info.toolTip.empty()) label->setToolTip(qText(info.toolTip));
    placed_.push_back({label, *placement.caption, false});
}

QWidget* ControlSet::widget(ControlId id) const {
    const auto it = widgets_.find(id);
    return it == widgets_.end() ? nullptr : it->second;
}

void ControlSet::show(ControlId id, const ControlState& state) const {
    QWidget* w = widget(id);
    const auto info = infos_.find(id);
    if (!w || info == infos_.end()) return;
    if (info->second->kind == Form) {
        w->window()->setWindowTitle(qText(state.text));
        return;
    }
    const QSignalBlocker quiet(w);
    showText(w, *info->second, state);
    if (id == ControlId{"lblContrast"}) showGrey(w, state.value);
    w->setEnabled(state.enabled && !(writeMode_ && locksInWriteMode(id)));
    w->setVisible(state.visible);
}

void ControlSet::setWriteMode(bool on, const Controls& controls) {
    writeMode_ = on;
    for (const auto& [id, w] : widgets_) {
        if (locksInWriteMode(id)) w->setEnabled(!on && controls[id].enabled);
    }
}

void ControlSet::scaleTo(QSize size) {
    const TwipRect design = designSize(window_);
    const QSize base = design.pixels().size();
    if (base.isEmpty() || size.isEmpty()) return;
    const double fx = static_cast<double>(size.width()) / base.width();
    const double fy = static_cast<double>(size.height()) / base.height();
    fontScale_ = std::min(fx, fy);
    QFont font = root_->font();
    font.setPixelSize(std::max(1, static_cast<int>(kFontPixels * fontScale_ + 0.5)));
    root_->setFont(font);
    // The prompt boxes show the pager's small font: a pixel smaller.
    QFont small = font;
    small.setPixelSize(std::max(1, static_cast<int>((kFontPixels - 1) * fontScale_ + 0.5)));
    for (const Placed& p : placed_) {
        if (const auto id = ControlId::parse(p.widget->objectName().toStdString());
            id && holdsPagerText(*id)) {
            small.setBold(p.widget->font().bold());
            p.widget->setFont(small);
        }
        QRect r = p.rect.pixels(fx, fy);
        if (p.keepsHeight) r.setHeight(p.widget->sizeHint().height());
        p.widget->setGeometry(r);
    }
}

}  // namespace kxp40s::ui
