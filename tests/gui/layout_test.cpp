#include <QAbstractButton>
#include <QGroupBox>
#include <QMenu>
#include <QScreen>
#include <QtMath>

#include "editors/alerts.h"
#include "editors/capcodes.h"
#include "gui_rig.h"

namespace kxp40s::testing {

namespace {

// The widest text a widget shows beside its decoration, against its width.
bool fits(QWidget* w) {
    if (auto* group = qobject_cast<QGroupBox*>(w))
        return group->fontMetrics().horizontalAdvance(group->title()) + 16 <= group->width();
    if (auto* box = qobject_cast<QLineEdit*>(w)) {
        const QString widest(box->maxLength() < 100 ? box->maxLength() : 0, QChar('0'));
        return box->fontMetrics().horizontalAdvance(widest) + 8 <= box->width();
    }
    if (auto* label = qobject_cast<QLabel*>(w); label && label->wordWrap()) return true;
    // A push or image button's own size hint asks for a minimum width beyond its caption.
    if (auto* button = qobject_cast<QAbstractButton*>(w); button && !button->isCheckable()) {
        const QString caption = button->text().replace("&&", "&");
        return button->fontMetrics().horizontalAdvance(caption) + 8 <= button->width();
    }
    return w->sizeHint().width() <= w->width() + 1;
}

// The widgets of the page and the tab strip that a user sees now.
QList<QWidget*> shownWidgets(QWidget* root) {
    QList<QWidget*> shown;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (w->isVisible() && !w->inherits("QComboBoxPrivateContainer") &&
            w->parentWidget()->isVisible() && w->window() == root->window())
            shown << w;
    }
    return shown;
}

QString describe(QWidget* w) {
    const auto* label = qobject_cast<QLabel*>(w);
    const QRect r = w->geometry();
    return QString("%1 '%2' at %3,%4 %5x%6 wants %7")
        .arg(w->objectName(), label ? label->text() : QString())
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height())
        .arg(w->sizeHint().width());
}

}  // namespace

class LayoutTest : public GuiTest {
    Q_OBJECT

  private slots:
    void nothingIsCutOffOrOverlapping_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<double>("fx");
        QTest::addColumn<double>("fy");
        for (const PageTab& tab : pageTabs()) {
            const int page = static_cast<int>(tab.page);
            const QByteArray name = QByteArray::number(page);
            QTest::newRow("design size, page " + name) << page << 1.0 << 1.0;
            QTest::newRow("enlarged, page " + name) << page << 2.0 << 1.5;
        }
    }
    void nothingIsCutOffOrOverlapping() {
        QFETCH(int, page);
        QFETCH(double, fx);
        QFETCH(double, fy);
        rig_->window().showPage(static_cast<Page>(page));
        QWidget* strip = resizeBy(fx, fy);
        checkWhole(strip);
        const QString shot = page == 0 ? QString(fx == 1.0 ? "window-design" : "window-enlarged")
                                       : QString("page-%1").arg(page);
        if (page == 0 || fx == 1.0) saveShot(&rig_->window(), shot + ".png");
        rig_->window().showPage(Page::FreqCodes);
    }

    void theDialogsShowEverythingWhole_data() {
        QTest::addColumn<int>("window");
        QTest::newRow("Form2") << static_cast<int>(Window::Form2);
        QTest::newRow("Form5") << static_cast<int>(Window::Form5);
        QTest::newRow("Form6") << static_cast<int>(Window::Form6);
    }
    void theDialogsShowEverythingWhole() {
        QFETCH(int, window);
        ui::MainWindow& main = rig_->window();
        QDialog* dialog = window == static_cast<int>(Window::Form2)
                              ? static_cast<QDialog*>(&main.transferWindow())
                              : &main.dialog(static_cast<Window>(window));
        // Each dialog as its button opens it: its lists loaded.
        if (window == static_cast<int>(Window::Form5))
            rig_->app().handle([](Session& s) {
                cmdFunc_Click(s, 0);
                return Form5_Load(s);
            });
        if (window == static_cast<int>(Window::Form6)) rig_->app().handle(Form6_Load);
        for (const char* series : {"lblAuto1", "lblAuto2", "cmdWrite", "cmdExit"}) {
            if (QWidget* w = dialog->findChild<QWidget*>(series)) w->show();
        }
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        checkWhole(dialog);
        saveShot(dialog, dialog->objectName() + ".png");
        dialog->hide();
    }

    // The menus with their remembered choices and a recent file, for the
    // README.
    void theMenusShowTheirChoices() {
        rig_->window().mnuSBTF_Click();
        rig_->window().openFile(rig_->path("default.tbl").toStdString());
        for (const char* name : {"mnuFile", "mnuPager", "mnuBoard"}) {
            QMenu* menu = rig_->window().menu(name);
            menu->popup(rig_->window().mapToGlobal(QPoint(0, 0)));
            QVERIFY(QTest::qWaitForWindowExposed(menu));
            saveShot(menu, QString(name) + ".png");
            menu->hide();
        }
    }

    // Twice as wide and half as high again: every control moves and grows
    // with the window, lists keep their own height, fonts grow by the
    // smaller factor.
    void enlargingScalesEveryControl() {
        QWidget* box = rig_->widget({"txtAddr", 5});
        QWidget* list = rig_->widget({"cboDft"});
        resizeBy(1.0, 1.0);
        const QRect boxAt = box->geometry();
        const QRect listAt = list->geometry();
        const int listHeight = list->height();
        const int font = box->font().pixelSize();
        resizeBy(2.0, 1.5);
        QVERIFY(qAbs(box->x() - 2 * boxAt.x()) <= 1 && qAbs(box->width() - 2 * boxAt.width()) <= 1);
        QVERIFY(qAbs(box->y() - 1.5 * boxAt.y()) <= 1 &&
                qAbs(box->height() - 1.5 * boxAt.height()) <= 1);
        QVERIFY(qAbs(list->y() - 1.5 * listAt.y()) <= 1);
        QVERIFY(list->height() < 1.5 * listHeight);
        QCOMPARE(box->font().pixelSize(), qRound(1.5 * font));
        resizeBy(1.0, 1.0);
    }

    // The window opens within its screen's free area, scaled down when its
    // design size at the screen's scale would not fit (the README's picture
    // of a 1024x768 screen at twice the scale comes from here, run on such a
    // display).
    void theWindowOpensWithinItsScreen() {
        ui::MainWindow& window = rig_->window();
        const QRect room = window.screen()->availableGeometry();
        QVERIFY2(room.contains(window.frameGeometry()),
                 qPrintable(QString("%1x%2 on %3x%4")
                                .arg(window.frameGeometry().width())
                                .arg(window.frameGeometry().height())
                                .arg(room.width())
                                .arg(room.height())));
        saveShot(&window, "window-small-screen.png");
    }

  private:
    void checkWhole(QWidget* root) {
        const QList<QWidget*> shown = shownWidgets(root);
        for (QWidget* w : shown) {
            if (!fits(w)) QFAIL(qPrintable("cut off: " + describe(w)));
            for (QWidget* other : shown) {
                if (other == w || other->parentWidget() != w->parentWidget()) continue;
                // Controls stacked on one another, or standing on a frame, are meant so.
                const QRect a = w->geometry();
                const QRect b = other->geometry();
                if (a.intersects(b) && !a.contains(b) && !b.contains(a))
                    QFAIL(qPrintable("overlap: " + describe(w) + " and " + describe(other)));
            }
        }
    }

    QWidget* resizeBy(double fx, double fy) {
        QWidget* strip = rig_->widget({"picTabBack"});
        const QSize design = ui::designSize(Window::Form1).pixels().size();
        const int menu = rig_->window().height() - strip->height();
        rig_->window().resize(qRound(design.width() * fx), qRound(design.height() * fy) + menu);
        QCoreApplication::processEvents();
        return strip;
    }
    // KXP40S_SHOTS names a folder for pictures of the window.
    void saveShot(QWidget* w, const QString& name) {
        const QString folder = qEnvironmentVariable("KXP40S_SHOTS");
        if (!folder.isEmpty()) QVERIFY(w->grab().save(folder + "/" + name));
    }
};

}  // namespace kxp40s::testing

QTEST_MAIN(kxp40s::testing::LayoutTest)
#include "layout_test.moc"
