#include "browser/IndependantInfoColumnViewController.h"

#include "bridge/ThreadController.h"
#include "browser/InfoColumnView.h"
#include "browser/InfoColumnViewController.h"
#include "browser/InfoController.h"
#include "kit/CommandRouter.h"

#include <QApplication>
#include <QCloseEvent>
#include <QShortcut>
#include <QVBoxLayout>

namespace
{
constexpr int PanelWidth = 250;
constexpr int PanelHeight = 400;

// The panel's window: its close asks the controller first.
class InfoPanelWindow : public QWidget
{
public:
    explicit InfoPanelWindow(std::function<void()> closing)
        : QWidget(nullptr, Qt::Tool), closing_(std::move(closing))
    {
    }

protected:
    void closeEvent(QCloseEvent *event) override
    {
        event->accept();
        if (closing_)
            std::exchange(closing_, nullptr)();
    }

private:
    std::function<void()> closing_;
};

QList<QPointer<QWidget>> &openPanels()
{
    static QList<QPointer<QWidget>> panels;
    return panels;
}
} // namespace

std::shared_ptr<IndependantInfoColumnViewController>
IndependantInfoColumnViewController::create(std::shared_ptr<InfoController> info,
                                            ConnectionParametersPtr parameters)
{
    info->setKeepConnection(true);
    return std::shared_ptr<IndependantInfoColumnViewController>(
        new IndependantInfoColumnViewController(std::move(info), std::move(parameters)));
}

IndependantInfoColumnViewController::IndependantInfoColumnViewController(std::shared_ptr<InfoController> info,
                                                                         ConnectionParametersPtr parameters)
    : infoController_(std::move(info)), connectionParameters_(std::move(parameters))
{
    managementTimer_.setSingleShot(true);
    connect(&managementTimer_, &QTimer::timeout, this,
            &IndependantInfoColumnViewController::managementRefresh);
    closingTimer_.setInterval(closingPollMs);
    connect(&closingTimer_, &QTimer::timeout, this, &IndependantInfoColumnViewController::waitForSafeClose);
}

IndependantInfoColumnViewController::~IndependantInfoColumnViewController()
{
    managementTimer_.stop();
    delete panel_;
}

QWidget *IndependantInfoColumnViewController::topInfoPanel()
{
    QList<QPointer<QWidget>> &panels = openPanels();
    panels.removeAll(nullptr);
    for (auto it = panels.crbegin(); it != panels.crend(); ++it) {
        if ((*it)->isVisible())
            return *it;
    }
    return nullptr;
}

void IndependantInfoColumnViewController::showWithSuggestedOrigin(const QPoint &origin)
{
    Q_ASSERT_X(infoController_, "IndependantInfoColumnViewController", "Needs info controller");
    myself_ = shared_from_this();
    viewController_ = std::make_unique<InfoColumnViewController>();
    auto *window = new InfoPanelWindow([this] { windowShouldClose(); });
    window->setObjectName(QStringLiteral("InfoPanel"));
    window->setWindowTitle(infoController_->name());
    window->setMinimumSize(200, 400);
    window->setMaximumSize(400, 800);
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(viewController_->view());
    window->resize(PanelWidth, PanelHeight);
    window->move(origin);
    panel_ = window;
    openPanels() << panel_;
    CommandRouter::shared().setWindowResponder(window, this);
    // The panel has no menu bar, so the menus' Close Tab key never reaches it: it gets the key itself.
    auto *closeTab = new QShortcut(QKeySequence::Close, window);
    connect(closeTab, &QShortcut::activated, this, [this] { performCloseTab(nullptr); });
    // A utility panel is not in the way while the user works in another application.
    connect(qApp, &QGuiApplication::applicationStateChanged, window, [window](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive)
            window->show();
        else if (state == Qt::ApplicationInactive)
            window->hide();
    });

    threadController_ = std::make_shared<ThreadController>();
    infoController_->setThreadController(threadController_);
    infoController_->setDelegate(this);
    infoController_->setInfoDelegate(this);
    viewController_->setInfoController(infoController_);
    viewController_->setPoppedOut(true);
    window->show();
    window->raise();
    window->activateWindow();
    infoController_->startLoadingImmediately();
}

void IndependantInfoColumnViewController::performCloseTab(QObject *)
{
    if (panel_)
        panel_->close();
}

void IndependantInfoColumnViewController::windowShouldClose()
{
    infoController_->resetInfoUsingBrowserElement(nullptr, nullptr);
    managementTimer_.stop();
    infoController_->setDelegate(nullptr);
    infoController_->setInfoDelegate(nullptr);
    viewController_->setInfoController(nullptr);
    if (panel_) {
        panel_->hide();
        panel_->deleteLater();
    }
    closingTimer_.start();
    waitForSafeClose();
}

// Polled on the main thread: the controller's loading threads register with the panel's own registry.
void IndependantInfoColumnViewController::waitForSafeClose()
{
    if (threadController_ && threadController_->numberOfRegisteredThreads(true) > 0)
        return;
    closingTimer_.stop();
    QTimer::singleShot(0, this, [self = std::move(myself_)]() mutable {
        self->infoController_.reset();
        self.reset();
    });
}

void IndependantInfoColumnViewController::managementRefresh()
{
    if (infoController_)
        infoController_->refresh();
}

bool IndependantInfoColumnViewController::infoControllerShouldLoadExtendedInfo(InfoController *)
{
    return true;
}

void IndependantInfoColumnViewController::infoHasBeenUpdated(qint64 sectionType)
{
    if (!viewController_)
        return;
    if (sectionType == -1)
        viewController_->infoControllerUpdate();
    else
        viewController_->infoUpdated(sectionType);
    if (infoController_ && infoController_->fullyLoaded() && infoController_->managementMode())
        managementTimer_.start(managementRefreshMs);
}

void IndependantInfoColumnViewController::requestSeparatedViewOfInfoController(
    std::shared_ptr<InfoController> controller)
{
    auto next = create(std::move(controller), connectionParameters_);
    const QPoint here = panel_ ? panel_->pos() : QPoint();
    next->showWithSuggestedOrigin(here + QPoint(-20, -20));
}

qint64 IndependantInfoColumnViewController::infoControllerNeedsTabLabel(InfoController *)
{
    return connectionParameters_ ? qint64(connectionParameters_->label()) : 0;
}

QString IndependantInfoColumnViewController::infoControllerNeedsActiveConnectionName(InfoController *)
{
    return connectionParameters_ ? connectionParameters_->connectionName() : QString();
}

bool IndependantInfoColumnViewController::connectedControllerWantsRootReservationFor(ConnectedController *,
                                                                                     const QString &)
{
    return true;
}

void IndependantInfoColumnViewController::connectedControllerWantsEndRootReservation(ConnectedController *) {}

bool IndependantInfoColumnViewController::connectedControllerWantsToChangeFocus(ConnectedController *, bool)
{
    return true;
}

bool IndependantInfoColumnViewController::connectedControllerWantsClearRootSelection(ConnectedController *)
{
    return true;
}

ConnectionParametersPtr
IndependantInfoColumnViewController::connectedControllerWantsConnectionParameters(ConnectedController *)
{
    return connectionParameters_;
}

QString
IndependantInfoColumnViewController::connectedControllerWantsUniqueConnectionIdentifier(ConnectedController *)
{
    if (!connectionParameters_)
        return QStringLiteral("___");
    return QStringLiteral("%1_%2_%3_%4")
        .arg(connectionParameters_->server(), connectionParameters_->port(),
             connectionParameters_->database(), connectionParameters_->userName())
        .toUpper();
}
