#include "app/WelcomeScreenController.h"

#include "app/AppLog.h"
#include "app/VornDocumentController.h"
#include "app/WelcomeScreenProgress.h"
#include "connection/ConnectionViewController.h"
#include "kit/CommandRouter.h"
#include "kit/ShortcutVisualizer.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

namespace
{

QString text(const char *source)
{
    return QCoreApplication::translate("WelcomeScreen", source);
}

constexpr int WindowWidth = 640;

} // namespace

WelcomeScreenController::WelcomeScreenController(const QVariantMap &info, QObject *parent)
    : QObject(parent), window_(std::make_unique<AdvancedWindow>())
{
    buildWindow(info);
    window_->resize(WindowWidth, WaitScreenHeight);
    window_->setEnableCloseTabOverride(true);
    // Escape is ours: it leaves the connection editor before it closes the window.
    window_->setEnableCloseByCancel(false);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), window_.get());
    connect(escape, &QShortcut::activated, this, &WelcomeScreenController::cancelOperation);
    ShortcutVisualizer::setDelegateForView(window_.get(), this);
}

WelcomeScreenController::~WelcomeScreenController() = default;

void WelcomeScreenController::buildWindow(const QVariantMap &info)
{
    window_->setWindowTitle(text("Welcome to Vorn"));
    auto *content = new QWidget;
    auto *layout = new QVBoxLayout(content);
    auto *title = new QLabel(QStringLiteral("Vorn"));
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 2.0);
    titleFont.setBold(true);
    title->setFont(titleFont);
    version_ = new QLabel(
        text("Version %1 (%2)")
            .arg(info.value("CFBundleShortVersionString").toString(), info.value("BuildNumber").toString()));
    copyright_ = new QLabel(info.value("NSHumanReadableCopyright").toString());
    for (QLabel *label : {title, version_, copyright_})
        label->setAlignment(Qt::AlignHCenter);
    layout->addWidget(title);
    layout->addWidget(version_);
    layout->addWidget(copyright_);

    connectionPlaceHolder_ = new QWidget;
    auto *placeHolderLayout = new QVBoxLayout(connectionPlaceHolder_);
    placeHolderLayout->setContentsMargins(0, 0, 0, 0);
    waitText_ = new QLabel(text("Starting the Java Virtual Machine and the database backend…"));
    waitText_->setAlignment(Qt::AlignHCenter);
    progress_ = new WelcomeScreenProgress;
    placeHolderLayout->addWidget(waitText_);
    placeHolderLayout->addWidget(progress_);
    layout->addWidget(connectionPlaceHolder_, 1);

    buttonView_ = new QWidget;
    auto *buttons = new QHBoxLayout(buttonView_);
    buttons->setContentsMargins(0, 0, 0, 0);
    openDocumentButton_ = new QPushButton(text("Open Document…"));
    cancelButton_ = new QPushButton(text("Close"));
    buttons->addWidget(openDocumentButton_);
    buttons->addStretch();
    buttons->addWidget(cancelButton_);
    buttonView_->hide();
    layout->addWidget(buttonView_);
    connect(cancelButton_, &QPushButton::clicked, this, &WelcomeScreenController::cancelOperation);
    connect(openDocumentButton_, &QPushButton::clicked, this, [this] {
        CommandRouter::shared().sendAction("openDocument:", openDocumentButton_, nullptr, window_.get());
    });
    window_->setCentralWidget(content);
}

bool WelcomeScreenController::isShowingList() const
{
    return window_->isVisible() && waitText_->isHidden();
}

void WelcomeScreenController::orderOutWaitScreen()
{
    setClosable(false);
    raise();
}

void WelcomeScreenController::setStartupProgress(float progress)
{
    progress_->setProgress(progress);
    if (window_->isVisible())
        progress_->repaint();
}

void WelcomeScreenController::orderOut()
{
    setClosable(true);
    waitText_->hide();
    progress_->hide();
    buttonView_->show();
    if (!connectionViewController_)
        createConnectionList();
    if (window_->height() == WaitScreenHeight)
        growToListSize();
    connectionViewController_->reset();
    raise();
    // A first-time user lands in the editor for a new connection.
    if (!connectionViewController_->hasConnections())
        connectionViewController_->createNew();
}

void WelcomeScreenController::createConnectionList()
{
    connectionViewController_ = std::make_unique<ConnectionViewController>();
    connectionViewController_->setDelegate(this);
    connectionPlaceHolder_->layout()->addWidget(connectionViewController_->view());
}

void WelcomeScreenController::close()
{
    setClosable(true);
    if (window_->isVisible())
        window_->performClose();
}

void WelcomeScreenController::cancelOperation()
{
    if (editMode_ && connectionViewController_)
        connectionViewController_->externalCancelEdit();
    else
        window_->performClose();
}

void WelcomeScreenController::connectionViewControllerWantsToCancel(ConnectionViewController *)
{
    qCDebug(lcApp, "the connection view asked to cancel");
}

void WelcomeScreenController::connectionViewControllerWantsToConnect(
    ConnectionViewController *, const ConnectionParametersPtr &parameters)
{
    close();
    VornDocumentController *documents = VornDocumentController::sharedDocumentController();
    if (!documents)
        return;
    TabbedDocument *document = documents->openUntitledDocumentAndDisplay(
        true, nullptr, false, false, {{"connectionParameters", QVariant::fromValue(parameters)}}, nullptr);
    TabbedWindowController *windowController = document ? document->windowController() : nullptr;
    if (!windowController)
        return;
    // The new window must win over the welcome window that is still fading out.
    QPointer<QWidget> window(windowController->window());
    window->raise();
    window->activateWindow();
    QTimer::singleShot(250, window, [window] {
        window->raise();
        window->activateWindow();
    });
}

void WelcomeScreenController::connectionViewControllerEnteredListMode(ConnectionViewController *)
{
    editMode_ = false;
}

void WelcomeScreenController::connectionViewControllerEnteredEditMode(ConnectionViewController *)
{
    editMode_ = true;
}

QList<VisualShortcut> WelcomeScreenController::visualShortcuts()
{
    return {VisualShortcut::visualShortCutWithView(cancelButton_, QStringLiteral("⎋"), Qt::NoModifier,
                                                   cancelButton_->isEnabled()),
            VisualShortcut::visualShortCutWithView(openDocumentButton_, QStringLiteral("o"),
                                                   Qt::ControlModifier, openDocumentButton_->isEnabled())};
}

// The wait screen may not be closed or minimised: start-up cannot be interrupted.
void WelcomeScreenController::setClosable(bool closable)
{
    const Qt::WindowFlags flags = window_->windowFlags();
    Qt::WindowFlags wanted = flags | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    wanted.setFlag(Qt::WindowCloseButtonHint, closable);
    wanted.setFlag(Qt::WindowMinimizeButtonHint, closable);
    if (wanted == flags)
        return;
    const bool visible = window_->isVisible();
    window_->setWindowFlags(wanted);
    if (visible)
        window_->show();
}

// From the wait screen's size to the list's: the window grows about its middle.
void WelcomeScreenController::growToListSize()
{
    const QRect frame = window_->geometry();
    window_->setGeometry(frame.x(), frame.y() - (ListHeight - WaitScreenHeight) / 4, frame.width(),
                         ListHeight);
}

void WelcomeScreenController::raise()
{
    QScreen *screen = window_->screen() ? window_->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect frame = window_->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window_->move(frame.topLeft());
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
}
