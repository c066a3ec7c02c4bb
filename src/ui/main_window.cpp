#include "ui/main_window.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QWindow>
#include <cmath>
#include <iostream>

#include "app/stop_signals.h"
#include "files/table_file.h"
#include "ui/accessible_list.h"
#include "ui/message_box.h"
#include "ui/program_style.h"
#include "ui/widgets/about.h"
#include "ui/widgets/eb_slider.h"

namespace kxp40s::ui {

namespace {

constexpr int kTimer1IntervalMs = 1000;
constexpr int kTileSize = 48;

// The tab strip's background picture, tiled over the whole strip.
QPixmap backgroundTile(const QPalette& palette) {
    QPixmap tile(kTileSize, kTileSize);
    const QColor base = palette.color(QPalette::Window);
    QLinearGradient shade(0, 0, kTileSize, kTileSize);
    shade.setColorAt(0, base.lighter(104));
    shade.setColorAt(1, base.darker(104));
    QPainter painter(&tile);
    painter.fillRect(tile.rect(), shade);
    painter.setPen(base.darker(108));
    painter.drawLine(0, kTileSize - 1, kTileSize - 1, 0);
    return tile;
}

}  // namespace

// picTabBack: the background of the tab strip and of everything on it. It
// takes the focus when the mouse moves over it, so that an entry still being
// typed is checked before the user reaches a menu.
class TabStrip : public QWidget {
    Q_OBJECT

  public:
    explicit TabStrip(QWidget* parent) : QWidget(parent), tile_(backgroundTile(palette())) {
        setObjectName("picTabBack");
        setMouseTracking(true);
        setFocusPolicy(Qt::ClickFocus);
    }

  signals:
    void mouseMoved();
    void resized(QSize size);

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const int w = tile_.width();
        const int h = tile_.height();
        for (int i = 0; i <= width() / w; ++i) {
            for (int j = 0; j <= height() / h; ++j)
                painter.drawPixmap(i * w, j * h, tile_);
        }
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        emit mouseMoved();
        QWidget::mouseMoveEvent(event);
    }
    void resizeEvent(QResizeEvent* event) override {
        emit resized(event->size());
        QWidget::resizeEvent(event);
    }

  private:
    QPixmap tile_;
};

void prepareApplication(QApplication& app) {
    app.setStyle(new ProgramStyle);
    QFont font = QApplication::font();
    font.setPixelSize(kFontPixels);
    QApplication::setFont(font);
    EBSlider::makeAccessible();
    makeListsAccessible();
}

MainWindow::MainWindow(AppOptions options, const QString& settingsFile)
    : face_(*this), settings_(settingsFile) {
    setObjectName("Form1");
    app_ = std::make_unique<Application>(face_, std::move(options));
    StopSignals::forwardTo(app_.get());
    app_->setFastRead(settings_.fastRead());
    app_->setBackupBeforeWrite(settings_.backupBeforeWrite());
    std::vector<std::filesystem::path> recent;
    for (const QString& file : settings_.recentFiles())
        recent.push_back(pathOf(file));
    app_->setRecentFiles(RecentFiles(recent));
    app_->setDialogFolder(pathOf(settings_.dialogFolder()));
    keptRecent_ = app_->recentFiles();
    binder_ = std::make_unique<Binder>(*app_);
    buildMenus();
    buildSettingItems();
    buildTabStrip();
    buildKeys();
    setAcceptDrops(true);
    transferWindow_ = new TransferWindow(this);
    binder_->bind(transferWindow_->controls());
    for (const Window window : {Window::Form5, Window::Form6}) {
        auto* dialog = new FormDialog(window, this);
        closeOnOk(*dialog);
        binder_->bind(dialog->controls());
        dialogs_[window] = dialog;
    }
    for (const char* title : {"lblFunBitTitle", "lblCapSlot"})
        emphasize(dialog(Window::Form5).widget({title}), 2);
    connect(binder_.get(), &Binder::opens, this, &MainWindow::openDialog);
    timer1_.setInterval(kTimer1IntervalMs);
    connect(&timer1_, &QTimer::timeout, this, &MainWindow::Timer1_Timer);
    fitToScreen();
}

// The design size at the screen's scale, or as much of it as the screen's
// free area holds (less a title bar): the pages scale with the window.
void MainWindow::fitToScreen() {
    const QSize inner = designSize(Window::Form1).pixels().size();
    const int menu = menuBar()->sizeHint().height();
    QSize size(inner.width(), inner.height() + menu);
    const QScreen* shownOn = screen();
    const QRect room = shownOn ? shownOn->availableGeometry() : QRect();
    if (room.isValid() && (size.width() > room.width() || size.height() > room.height())) {
        const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight);
        const double scale =
            std::min(static_cast<double>(room.width()) / inner.width(),
                     static_cast<double>(room.height() - titleBar - menu) / inner.height());
        size = QSize(static_cast<int>(std::floor(inner.width() * scale)),
                     static_cast<int>(std::floor(inner.height() * scale)) + menu);
        move(room.topLeft());
    }
    resize(size);
}

// The signal handler must not reach a window that is gone.
MainWindow::~MainWindow() {
    StopSignals::forwardTo(nullptr);
}

void MainWindow::buildMenus() {
    const std::map<std::string_view, void (MainWindow::*)()> commands = {
        {"mnuLBFF", &MainWindow::mnuLBFF_Click},
        {"mnuSBTF", &MainWindow::mnuSBTF_Click},
        {"mnuSA", &MainWindow::mnuSA_Click},
        {"mnuExit", &MainWindow::mnuExit_Click},
        {"mnuEntire", &MainWindow::mnuEntire_Click},
        {"mnuEB", &MainWindow::mnuEB_Click},
        {"mnuEB1", &MainWindow::mnuEB1_Click},
        {"mnuFirmware", &MainWindow::mnuFirmware_Click},
        {"mnuAbout", &MainWindow::mnuAbout_Click},
        {"mnuBackupFolder", &MainWindow::mnuBackupFolder_Click},
    };
    for (const ControlInfo* info : windowControls(Window::Form1)) {
        if (info->kind == ControlKind::Menu) {
            QMenu* menu = menuBar()->addMenu(menuText(*info));
            menu->setObjectName(qText(info->name));
            menus_[info->name] = menu;
        } else if (info->kind == ControlKind::MenuItem && menus_.contains(info->container)) {
            QMenu* menu = menus_.at(info->container);
            if (info->caption == "-") {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(menuText(*info));
            action->setObjectName(qText(info->name));
            action->setShortcut(QKeySequence(qText(info->shortcut)));
            if (!info->toolTip.empty()) {
                action->setToolTip(qText(info->toolTip));
                menu->setToolTipsVisible(true);
            }
            const auto command = commands.find(info->name);
            if (command != commands.end())
                connect(action, &QAction::triggered, this, command->second);
            actions_[info->name] = action;
        }
    }
    menuBar()->setMouseTracking(true);
    menuBar()->installEventFilter(this);
    recentMenu_ = new RecentMenu(*menu("mnuFile"), action("mnuExit"));
    recentMenu_->show(app_->recentFiles().files());
    connect(recentMenu_, &RecentMenu::chosen, this, &MainWindow::openRecentFile);
}

// The menus' keys win over the text boxes; the page keys move between pages.
void MainWindow::buildKeys() {
    keys_ = new WindowKeys(*this);
    for (QLineEdit* box : findChildren<QLineEdit*>())
        keys_->giveWayIn(*box);
    connect(keys_, &WindowKeys::nextPage, this, [this] { showNextPage(1); });
    connect(keys_, &WindowKeys::previousPage, this, [this] { showNextPage(-1); });
}

// The remembered choices are check items; the two boards exclude each other.
void MainWindow::buildSettingItems() {
    const auto checkItem = [this](std::string_view name, bool on, void (MainWindow::*slot)(bool)) {
        QAction* item = action(name);
        item->setCheckable(true);
        item->setChecked(on);
        connect(item, &QAction::triggered, this, slot);
    };
    checkItem("mnuFastRead", app_->fastRead(), &MainWindow::mnuFastRead_Click);
    checkItem("mnuBackup", app_->backupBeforeWrite(), &MainWindow::mnuBackup_Click);
    auto* boards = new QActionGroup(this);
    for (const auto& [name, kind] :
         {std::pair{"mnuUsb", BoardKind::Usb}, std::pair{"mnuLpt", BoardKind::Lpt}}) {
        QAction* item = action(name);
        item->setCheckable(true);
        item->setChecked(app_->board().kind() == kind);
        boards->addAction(item);
        connect(item, &QAction::triggered, this, [this, kind] { chooseBoard(kind); });
    }
}

void MainWindow::buildTabStrip() {
    tabStrip_ = new TabStrip(this);
    setCentralWidget(tabStrip_);
    controls_ = std::make_unique<ControlSet>(Window::Form1, tabStrip_);
    controls_->adopt({"picTabBack"}, tabStrip_);
    connect(tabStrip_, &TabStrip::mouseMoved, this, &MainWindow::picTabBack_MouseMove);
    connect(tabStrip_, &TabStrip::resized, this, [this](QSize size) { controls_->scaleTo(size); });
    binder_->bind(*controls_);

    for (const PageTab& tab : pageTabs()) {
        if (auto* label = qobject_cast<QLabel*>(widget(tab.label))) {
            emphasize(label);
            label->setAlignment(Qt::AlignCenter);
            label->setFrameShape(QFrame::Panel);
            label->setFrameShadow(QFrame::Raised);
            label->setAutoFillBackground(true);
        }
        if (auto* button = qobject_cast<QAbstractButton*>(widget(tab.button))) {
            button->raise();  // the label of the selected tab lies beneath its button
            connect(button, &QAbstractButton::clicked, this,
                    [this, page = tab.page] { showPage(page); });
        }
    }
    if (auto* modify = qobject_cast<QAbstractButton*>(widget({"ModifyOpt"}))) {
        modify->setChecked(true);
        connect(modify, &QAbstractButton::clicked, this, [this] { setWriteMode(false); });
    }
    if (auto* write = qobject_cast<QAbstractButton*>(widget({"WriteOpt"})))
        connect(write, &QAbstractButton::clicked, this, [this] { setWriteMode(true); });
    writeKey_ = new QShortcut(QKeySequence(Qt::Key_Space), this);
    writeKey_->setEnabled(false);
    connect(writeKey_, &QShortcut::activated, this, &MainWindow::mnuEB_Click);
    if (QLabel* status = statusLine()) {
        emphasize(status);
        status->setFrameShape(QFrame::StyledPanel);
        status->setFrameShadow(QFrame::Sunken);
    }
    showPage(Page::FreqCodes);
}

QWidget* MainWindow::widget(ControlId id) const {
    return binder_->widget(id);
}

QAction* MainWindow::action(std::string_view name) const {
    const auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

QMenu* MainWindow::menu(std::string_view name) const {
    const auto it = menus_.find(name);
    return it == menus_.end() ? nullptr : it->second;
}

FormDialog& MainWindow::dialog(Window window) {
    return *dialogs_.at(window);
}

QLabel* MainWindow::statusLine() const {
    return qobject_cast<QLabel*>(widget({"lblMsg"}));
}

// The page takes the focus before the others hide, so that the focus does
// not pass through the tab strip on its way (a screen reader would say so).
void MainWindow::showPage(Page page) {
    page_ = page;
    QWidget* shown = widget(pageTabs()[static_cast<std::size_t>(page)].box);
    if (shown) {
        shown->show();
        shown->raise();
        shown->setFocus(Qt::OtherFocusReason);
    }
    for (const PageTab& tab : pageTabs()) {
        const bool selected = tab.page == page;
        if (QWidget* button = widget(tab.button)) button->setVisible(!selected);
        if (QWidget* box = widget(tab.box); box && box != shown) box->hide();
    }
}

void MainWindow::showNextPage(int step) {
    if (QApplication::activeModalWidget()) return;
    const int pages = static_cast<int>(pageTabs().size());
    showPage(static_cast<Page>((static_cast<int>(page_) + step + pages) % pages));
}

void MainWindow::setWriteMode(bool on) {
    binder_->settle();
    controls_->setWriteMode(on, app_->session().controls);
    writeKey_->setEnabled(on);
}

void MainWindow::Form_Load(StartUpSteps steps) {
    busy_ = true;
    app_->Form_Load(steps);
    finishCommand();
}

// A stop signal or a close that came meanwhile takes effect now.
void MainWindow::finishCommand() {
    busy_ = false;
    if (endRequested_) {
        endNow();
    } else if (closeRequested_) {
        close();
    }
}

void MainWindow::startUp(const std::filesystem::path& file) {
    startingUp_ = true;
    Form_Load();
    startingUp_ = false;
    if (endRequested_) return;
    showOnScreen();
    sayIfSettingsSetAside();
    if (!file.empty()) openFile(file);
}

void MainWindow::sayIfSettingsSetAside() {
    if (settings_.setAside().isEmpty()) return;
    showMessage(this,
                warning("The settings file " + settings_.fileName().toStdString() +
                        " could not be read. It was kept as " + settings_.setAside().toStdString() +
                        ", and the choices start from their defaults."));
}

// Ports that never answer keep the search waiting for a while; meanwhile
// the window stands filled, with the status line saying why it waits.
void MainWindow::beforeBoardSearch() {
    if (!startingUp_) return;
    if (QLabel* line = statusLine()) {
        setStatusLine(*line, tr("Looking for the programmer board..."),
                      line->palette().color(QPalette::PlaceholderText));
    }
    showOnScreen();
}

void showPainted(QWidget& window) {
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents |
                                        QEventLoop::ExcludeUserInputEvents);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void MainWindow::showOnScreen() {
    if (onScreen_) return;
    onScreen_ = true;
    showPainted(*this);
    emit shownOnScreen();
}

// Moves the focus to the strip's background, so that the box being left
// checks its entry, and runs that check now.
void MainWindow::picTabBack_MouseMove() {
    if (!isActiveWindow() || tabStrip_->hasFocus() || QApplication::activeModalWidget()) return;
    tabStrip_->setFocus(Qt::MouseFocusReason);
}

// The menu bar lies above the strip: reaching it counts as crossing the strip.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == menuBar() &&
        (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter))
        picTabBack_MouseMove();
    return QMainWindow::eventFilter(watched, event);
}

// The focus leaves the box being edited, so that it checks its entry; when
// the command leaves the focus where it put it, the box gets it back.
void MainWindow::runCommand(const std::function<void()>& command) {
    if (busy_) return;
    busy_ = true;
    const QPointer<QWidget> focused = QApplication::focusWidget();
    if (!tabStrip_->hasFocus()) tabStrip_->setFocus(Qt::OtherFocusReason);
    binder_->settle();
    command();
    keepFileChoices();
    if (focused && focused != tabStrip_ && tabStrip_->hasFocus() && focused->window() == this &&
        focused->isVisible() && focused->isEnabled())
        focused->setFocus(Qt::OtherFocusReason);
    finishCommand();
}

// The recent files and the dialogs' folder are kept for the next start as
// they change.
void MainWindow::keepFileChoices() {
    if (app_->recentFiles() == keptRecent_) return;
    keptRecent_ = app_->recentFiles();
    QStringList files;
    for (const auto& file : keptRecent_.files())
        files << qPath(file);
    settings_.setRecentFiles(files);
    settings_.setDialogFolder(qPath(app_->dialogFolder()));
    recentMenu_->show(keptRecent_.files());
}

// A transfer that a stop ended says what state the pager is in: on stderr
// when a signal stopped it, in a box when the user closed the window.
void MainWindow::runTransfer(const std::function<Result()>& command) {
    runCommand([this, &command] {
        if (command() != Result::Stopped) return;
        const Message report = app_->stopReport();
        if (app_->stopSignal() == StopFlag::kNoSignal) {
            showMessage(this, report);
        } else {
            face_.note(report);
        }
    });
}

void MainWindow::mnuLBFF_Click() {
    runCommand([this] { app_->mnuLBFF_Click(); });
}

void MainWindow::openTableFile(const std::filesystem::path& file) {
    runCommand([this, &file] { app_->openTableFile(file); });
}

void MainWindow::mnuSBTF_Click() {
    runCommand([this] { app_->mnuSBTF_Click(); });
}

void MainWindow::mnuSA_Click() {
    runCommand([this] { app_->mnuSA_Click(); });
}

void MainWindow::mnuEntire_Click() {
    runTransfer([this] { return app_->mnuEntire_Click(); });
}

void MainWindow::mnuEB_Click() {
    runTransfer([this] { return app_->mnuEB_Click(); });
}

void MainWindow::mnuEB1_Click() {
    runTransfer([this] { return app_->mnuEB1_Click(); });
}

void MainWindow::mnuFirmware_Click() {
    runTransfer([this] { return app_->mnuFirmware_Click(); });
}

void MainWindow::mnuBackupFolder_Click() {
    runCommand([this] { app_->mnuBackupFolder_Click(); });
}

void MainWindow::openFile(const std::filesystem::path& file) {
    runCommand([this, &file] { app_->openTableFile(file); });
}

void MainWindow::openRecentFile(const std::filesystem::path& file) {
    runCommand([this, &file] { app_->openRecentFile(file); });
}

// One table file dropped from the file manager; anything else is refused as
// the mouse brings it.
std::optional<std::filesystem::path> MainWindow::droppedTableFile(const QMimeData& mime) const {
    if (busy_ || !mime.hasUrls() || mime.urls().size() != 1) return std::nullopt;
    const QUrl url = mime.urls().front();
    if (!url.isLocalFile()) return std::nullopt;
    const std::filesystem::path file = pathOf(url.toLocalFile());
    if (!isTableFileName(file)) return std::nullopt;
    return file;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (droppedTableFile(*event->mimeData())) event->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
    if (droppedTableFile(*event->mimeData())) event->acceptProposedAction();
}

// The file opens once the drop is over, so that the file manager is not
// kept waiting by a message box.
void MainWindow::dropEvent(QDropEvent* event) {
    const auto file = droppedTableFile(*event->mimeData());
    if (!file) return;
    event->acceptProposedAction();
    QTimer::singleShot(0, this, [this, file = *file] { openFile(file); });
}

void MainWindow::mnuAbout_Click() {
    runCommand([this] {
        AboutWindow about(this);
        about.exec();
    });
}

void MainWindow::mnuFastRead_Click(bool on) {
    app_->setFastRead(on);
    remember(settings_.setFastRead(on));
}

void MainWindow::mnuBackup_Click(bool on) {
    app_->setBackupBeforeWrite(on);
    remember(settings_.setBackupBeforeWrite(on));
}

// The status line says at once whether the other board answers.
void MainWindow::chooseBoard(BoardKind kind) {
    if (busy_) {
        action(kind == BoardKind::Usb ? "mnuLpt" : "mnuUsb")->setChecked(true);
        return;
    }
    runCommand([this, kind] { app_->useBoard(kind); });
    remember(settings_.setBoard(kind));
}

// A choice that could not be stored still holds for this run.
void MainWindow::remember(bool kept) {
    if (kept) return;
    showMessage(this, warning("The choice holds until the program ends, but it could not be "
                              "kept for the next start: " +
                              settings_.fileName().toStdString() + " cannot be written."));
}

void MainWindow::mnuExit_Click() {
    if (busy_) return;
    close();
}

void MainWindow::Timer1_Timer() {
    if (busy_) return;
    busy_ = true;
    app_->Timer1_Timer();
    finishCommand();
}

void MainWindow::showBoardStatus(const BoardStatus& status) {
    if (QLabel* line = statusLine()) {
        const QColor colour = colourOf(status.foreColor, line->palette());
        setStatusLine(*line, qText(status.caption), colour);
        emit boardStatusShown(line->text(), colour);
    }
    // The menu's shortcut keys go with it.
    if (QMenu* pager = menu("mnuPager")) {
        pager->menuAction()->setEnabled(status.pagerMenuEnabled);
        for (QAction* item : pager->actions())
            item->setEnabled(status.pagerMenuEnabled);
    }
}

void MainWindow::setStatusLine(QLabel& line, const QString& text, const QColor& colour) {
    QPalette p = line.palette();
    p.setColor(QPalette::WindowText, colour);
    line.setPalette(p);
    line.setText(text);
}

void MainWindow::openDialog(Window window) {
    FormDialog& d = dialog(window);
    d.exec();
}

void MainWindow::release() {
    if (released_) return;
    released_ = true;
    timer1_.stop();
    app_->mnuExit_Click();
}

void MainWindow::endOnSignal(int signal) {
    app_->requestStop(signal);
    endRequested_ = true;
    if (busy_) {
        rejectOpenDialogs();
        return;
    }
    endNow();
}

void MainWindow::endOnFailure(const QString& text) {
    std::cerr << text.toStdString() << std::endl;
    showMessage(this, warning(text.toStdString()));
    release();
    emit ended(1);
}

// Every message box and dialog open closes as if answered with its safe
// choice (No, Cancel, OK); the transfer window leaves a series it waits in.
void MainWindow::rejectOpenDialogs() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(widget);
        if (dialog && dialog->isVisible()) dialog->reject();
    }
}

// A program a signal stopped says so in its exit status.
void MainWindow::endNow() {
    release();
    const int signal = app_->stopSignal();
    emit ended(signal > 0 ? stoppedExitStatus(signal) : 0);
}

// Closing the window ends the program after the board's release command; a
// transfer under way is asked to stop first, and the window closes when it
// has.
void MainWindow::closeEvent(QCloseEvent* event) {
    if (busy_) {
        app_->requestStop();
        closeRequested_ = true;
        event->ignore();
        return;
    }
    release();
    for (auto& [window, d] : dialogs_)
        d->close();
    event->accept();
}

}  // namespace kxp40s::ui

#include "main_window.moc"
