#include "ui/accessible_list.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>

namespace kxp40s::ui {

namespace {

// A list with a name of its own: the name is what it is ("Range Of
// Frequency"), the value the item chosen; its popup is its one child, and
// opening it is its action.
class AccessibleList : public QAccessibleWidget {
  public:
    explicit AccessibleList(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return list()->currentText();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = list()->view()->isVisible();
        return s;
    }
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child->object() == list()->view() ? 0 : -1;
    }

    QStringList actionNames() const override {
        if (!list()->isEnabled()) return {};
        return {showMenuAction(), pressAction()};
    }
    void doAction(const QString& action) override {
        if (!list()->isEnabled() || !actionNames().contains(action)) return;
        if (list()->view()->isVisible()) {
            list()->hidePopup();
        } else {
            list()->showPopup();
        }
    }

  private:
    QComboBox* list() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* accessibleList(const QString& className, QObject* object) {
    // Qt's own interface would answer for a plain QComboBox before this one.
    auto* list = qobject_cast<ListBox*>(object);
    if (className != QLatin1String("kxp40s::ui::ListBox") || !list) return nullptr;
    return new AccessibleList(list);
}

}  // namespace

void makeListsAccessible() {
    static const bool installed = [] {
        QAccessible::installFactory(accessibleList);
        return true;
    }();
    (void)installed;
}

}  // namespace kxp40s::ui
