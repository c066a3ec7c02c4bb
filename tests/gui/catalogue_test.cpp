#include <QAction>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <set>
#include <tuple>

#include "gui_rig.h"
#include "ui/widgets/about.h"
#include "ui/widgets/splash.h"

namespace kxp40s::testing {

namespace {

using enum ControlKind;

// What a button, frame or menu shows of its text: "&&" is one "&", a single
// "&" only marks the key.
QString shown(const QString& raw) {
    QString out;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == '&' && i + 1 < raw.size()) ++i;
        out += raw[i];
    }
    return out;
}

// Controls that show their caption themselves; a box, list or slider has
// it on a label beside it.
bool showsOwnCaption(ControlKind kind) {
    switch (kind) {
        case Label:
        case CheckBox:
        case OptionButton:
        case CommandButton:
        case Frame:
        case Menu:
        case MenuItem:
            return true;
        default:
            return false;
    }
}

bool hasCaptionBeside(const ControlInfo& info) {
    return !showsOwnCaption(info.kind) && info.kind != Form && !info.caption.empty();
}

QString describe(const QWidget* w) {
    if (!w->objectName().isEmpty()) return w->objectName();
    const QWidget* parent = w->parentWidget();
    return QString("a label in %1").arg(parent ? parent->objectName() : QString("nothing"));
}

}  // namespace

// Every text the catalogue gives a control (caption, list items, tool tip)
// is on that control in the main window, its dialogs, the splash and the
// About window, and on no other widget.
class CatalogueTest : public GuiTest {
    Q_OBJECT

  private slots:
    void everyControlShowsItsTexts() {
        QStringList missing;
        for (const ControlInfo& info : controlCatalogue()) {
            for (const ControlId id : info.ids()) {
                const QString problem = missingText(info, id);
                if (!problem.isEmpty())
                    missing << QString::fromStdString(id.text()) + ": " + problem;
            }
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join("\n")));
    }

    // A text shared by several controls is on exactly as many widgets: a
    // caption label per box or list (one heading for a column, one for
    // selectors that lie at one place), which also carries the box's tool
    // tip; a dialog's title once inside it, as it has no title bar.
    void eachTextIsShownAsOftenAsTheCatalogueGivesIt() {
        const std::map<QString, int> expected = expectedCounts();
        const std::map<QString, QStringList> found = shownTexts();
        QStringList wrong;
        for (const auto& [text, count] : expected) {
            const auto it = found.find(text);
            const QStringList where = it == found.end() ? QStringList{} : it->second;
            if (where.size() != count) {
                wrong << QString("\"%1\": the catalogue gives it %2 times, shown on %3")
                             .arg(text.size() > 24 ? text.left(24) + "..." : text)
                             .arg(count)
                             .arg(where.isEmpty() ? QString("nothing") : where.join(", "));
            }
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join("\n")));
    }

  private:
    QWidget* widgetOf(ControlId id) const {
        const ControlInfo& info = controlInfo(id);
        const QString name = QString::fromStdString(id.text());
        if (info.window == Window::frmSplash)
            return id == ControlId{"frmSplash"} ? splash_.get()
                                                : splash_->findChild<QWidget*>(name);
        if (info.window == Window::frmAbout)
            return id == ControlId{"frmAbout"} ? about_.get() : about_->findChild<QWidget*>(name);
        return rig_->window().widget(id);
    }

    // A label the program fills (the core keeps a text for it) shows that,
    // not its caption.
    bool filledByProgram(ControlId id) const {
        return !rig_->app().session().controls[id].text.empty();
    }

    // The caption labels beside a control: in its container, or a column
    // heading in the container's container.
    static bool hasLabelBeside(const QWidget* w, const QString& text) {
        const QWidget* container = w->parentWidget();
        const QWidget* outer = container ? container->parentWidget() : nullptr;
        for (const QWidget* place : {container, outer}) {
            if (!place) continue;
            for (const QLabel* label : place->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
                if (label->objectName().isEmpty() && label->text() == text) return true;
            }
        }
        return false;
    }

    static QString ownText(const QWidget* w) {
        if (const auto* label = qobject_cast<const QLabel*>(w)) return label->text();
        if (const auto* button = qobject_cast<const QAbstractButton*>(w))
            return shown(button->text());
        if (const auto* frame = qobject_cast<const QGroupBox*>(w)) return shown(frame->title());
        return {};
    }

    // What of the control's texts is not on it; empty when all are.
    QString missingText(const ControlInfo& info, ControlId id) const {
        const QString caption = ui::labelText(info.caption);
        if (info.kind == Menu) {
            const QMenu* menu = rig_->window().menu(info.name);
            return menu && shown(menu->title()) == caption ? QString() : "menu title";
        }
        if (info.kind == MenuItem) {
            if (info.caption == "-") return {};
            const QAction* item = rig_->window().action(info.name);
            if (!item || shown(item->text()) != caption) return "menu item";
            return info.toolTip.empty() || item->toolTip() == ui::qText(info.toolTip)
                       ? QString()
                       : "menu item's tool tip";
        }
        const QWidget* w = widgetOf(id);
        if (info.kind == Form)
            return info.caption.empty() || (w && w->window()->windowTitle().startsWith(caption))
                       ? QString()
                       : "title";
        if (!w)
            return info.caption.empty() && info.items.empty() && info.toolTip.empty() ? QString()
                                                                                      : "no widget";
        QStringList problems;
        if (!info.caption.empty()) {
            const bool beside =
                hasCaptionBeside(info) || (info.kind == Label && filledByProgram(id));
            if (!(beside ? hasLabelBeside(w, caption) : ownText(w) == caption))
                problems << "caption";
        }
        if (!info.items.empty()) {
            const auto* list = qobject_cast<const QComboBox*>(w);
            QStringList items;
            for (int i = 0; list && i < list->count(); ++i)
                items << list->itemText(i);
            QStringList wanted;
            for (const std::string_view item : info.items)
                wanted << ui::qText(item);
            if (items != wanted) problems << "items " + items.join(", ");
        }
        if (w->toolTip() != ui::qText(info.toolTip)) problems << "tool tip";
        return problems.join(", ");
    }

    // How often the catalogue puts each text on a widget.
    std::map<QString, int> expectedCounts() const {
        std::map<QString, int> counts;
        const auto add = [&](std::string_view text, int times) {
            if (!text.empty()) counts[ui::labelText(text)] += times;
        };
        for (const ControlInfo& info : controlCatalogue()) {
            if (info.kind == Form && info.window != Window::Form1) add(info.caption, 1);
            if (info.kind == MenuItem && info.caption == "-") continue;
            const int members = static_cast<int>(info.ids().size());
            for (const std::string_view item : info.items)
                add(item, members);
            add(info.toolTip, members);
            if (showsOwnCaption(info.kind)) add(info.caption, members);
        }
        for (const ControlInfo* beside : captionLabels()) {
            add(beside->caption, 1);
            add(beside->toolTip, 1);
        }
        return counts;
    }

    // One caption label per array of boxes or lists with one caption (its
    // members share a column heading), shared by rows whose controls lie at
    // one place.
    std::vector<const ControlInfo*> captionLabels() const {
        std::vector<const ControlInfo*> labels;
        std::set<std::tuple<const QWidget*, int, int, int, int>> places;
        std::set<std::pair<std::string_view, std::string>> headings;
        for (const ControlInfo& info : controlCatalogue()) {
            if (!hasCaptionBeside(info) || !headings.emplace(info.name, info.caption).second)
                continue;
            bool shared = false;
            for (const ControlId id : info.ids()) {
                const QWidget* w = widgetOf(id);
                const QRect r = w ? w->geometry() : QRect();
                if (w &&
                    !places.emplace(w->parentWidget(), r.x(), r.y(), r.width(), r.height()).second)
                    shared = true;
            }
            if (!shared) labels.push_back(&info);
        }
        return labels;
    }

    // Every text on a widget of the windows, with where it is.
    std::map<QString, QStringList> shownTexts() const {
        std::set<QWidget*> widgets;
        for (QWidget* root : std::initializer_list<QWidget*>{
                 &rig_->window(), &rig_->window().transferWindow(),
                 &rig_->window().dialog(Window::Form5), &rig_->window().dialog(Window::Form6),
                 splash_.get(), about_.get()}) {
            widgets.insert(root);
            for (QWidget* w : root->findChildren<QWidget*>())
                widgets.insert(w);
        }
        std::map<QString, QStringList> texts;
        const auto add = [&](const QString& text, const QString& where) {
            if (!text.isEmpty()) texts[text] << where;
        };
        for (QWidget* w : widgets) {
            const QString where = describe(w);
            add(w->toolTip(), where);
            if (auto* list = qobject_cast<QComboBox*>(w)) {
                for (int i = 0; i < list->count(); ++i)
                    add(list->itemText(i), where);
            } else if (qobject_cast<QMenu*>(w)) {
                continue;  // the menu bar's own, below; Qt keeps others of its own
            } else if (const auto id = ControlId::parse(w->objectName().toStdString());
                       !id || !qobject_cast<QLabel*>(w) || !filledByProgram(*id)) {
                add(ownText(w), where);
            }
        }
        for (const QAction* entry : rig_->window().menuBar()->actions()) {
            if (const QMenu* menu = entry->menu()) {
                add(shown(menu->title()), menu->objectName());
                for (const QAction* item : menu->actions()) {
                    add(shown(item->text()), item->objectName());
                    // Qt makes a tool tip of the text for an item without one of its own.
                    const ControlInfo* info = findControl(item->objectName().toStdString());
                    if (info && !info->toolTip.empty()) add(item->toolTip(), item->objectName());
                }
            }
        }
        return texts;
    }

    // Made once: the tests only read them.
    std::unique_ptr<ui::SplashWindow> splash_ = std::make_unique<ui::SplashWindow>();
    std::unique_ptr<ui::AboutWindow> about_ = std::make_unique<ui::AboutWindow>();
};

}  // namespace kxp40s::testing

QTEST_MAIN(kxp40s::testing::CatalogueTest)
#include "catalogue_test.moc"
