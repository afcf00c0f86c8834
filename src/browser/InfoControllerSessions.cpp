// The management side of the info controller: the notice of management mode, the pages of one database
// session read from the connection type's session page list, and the session's actions.
#include "browser/InfoController.h"

#include "browser/InfoContentBuilders.h"
#include "browser/InfoControllerDelegate.h"
#include "browser/InfoText.h"
#include "browser/SessionPages.h"
#include "client/BackgroundRunner.h"
#include "client/VornBrowserClient.h"
#include "kit/DocumentAlertSheet.h"
#include "kit/ImageUtil.h"
#include "platform/Bundle.h"
#include "platform/MainThread.h"
#include "platform/PropertyList.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTimer>
#include <QWidget>

Q_DECLARE_LOGGING_CATEGORY(infoLog)

namespace
{
QString activityText(const char *text)
{
    return QCoreApplication::translate("activity", text);
}

bool callsSessionsProcesses(const QString &connectionType)
{
    return connectionType == QLatin1String("MySQL") || connectionType == QLatin1String("PostgreSQL");
}

// What a session action's worker reports.
struct ActionOutcome {
    bool reserved = false;
    BackendOutcome outcome;
};
} // namespace

void InfoController::resetManagement()
{
    if (vornInfo_ && keepConnection_)
        vornInfo_->endConnection();
    loadupTimer_->stop();
    vornInfo_.reset();
    current_->store(nullptr);
    browserElement_.reset();
    sessionIdentifier_.clear();
    sessionPages_.clear();

    const bool processes = callsSessionsProcesses(vornRoot() ? vornRoot()->connectionType() : QString());
    InfoItemGroup notice = InfoContentBuilders::textGroup(
        processes ? infoText("In Management Mode Vorn doesn't use this panel, instead you can open more info "
                             "for a process from the Process overview.")
                  : infoText("In Management Mode Vorn doesn't use this panel, instead you can open more info "
                             "for a session from the Sessions overview."));
    notice.items.append(InfoItem::itemWithNameValue(
        QString(), processes
                       ? infoText("In the Process overview you can double-click on a process, or select "
                                  "it and press Ctrl+I, to open a Process info panel.")
                       : infoText("In the Sessions overview you can double-click on a process, or select "
                                  "it and press Ctrl+I, to open a Session info panel.")));
    auto section = std::make_shared<InfoItemSection>();
    section->title = infoText("Management mode");
    section->type = InfoItemSection::General;
    section->fullyLoaded = true;
    section->groups = {notice};
    sections_ = {section};
    name_ = infoText("Management mode");
    image_ = ImageUtil::bundleImage(QStringLiteral("SideUnknown"));
}

QVariantList InfoController::sessionPageList() const
{
    const QString folder = resourceFolder_.isNull()
                               ? Bundle::mainBundle().pathForResource(QStringLiteral("resources"))
                               : resourceFolder_;
    const QString type = vornRoot() ? vornRoot()->connectionType() : QString();
    return PropertyList::readFile(QStringLiteral("%1/Management%2Session.plist").arg(folder, type)).toList();
}

void InfoController::resetManagementUsingSessionIdentifier(const QStringList &sessionIdentifier)
{
    resetManagement();
    if (sessionIdentifier.isEmpty() || sessionIdentifier.first().isNull())
        return;
    sessionIdentifier_ = sessionIdentifier;
    if (std::shared_ptr<VornBrowserClient> browser = vornRoot() ? vornRoot()->browser() : nullptr)
        vornInfo_ = browser->elementDescriptionForSessionInfo();
    current_->store(vornInfo_.get());

    const InfoItemGroup notLoaded = InfoContentBuilders::textGroup(infoText("Information not loaded yet"));
    sessionPages_ = sessionPageList();
    InfoItemSections sections;
    for (const QVariant &entryValue : std::as_const(sessionPages_)) {
        const QString entryType = entryValue.toMap().value("type").toString();
        const qint64 type = SessionPages::sectionType(entryType);
        if (type == 0) {
            qCInfo(infoLog) << "Unknown type" << entryType;
            continue;
        }
        auto section = std::make_shared<InfoItemSection>();
        section->title = SessionPages::placeholderTitle(type);
        section->type = type;
        section->groups = {notLoaded};
        sections << section;
    }
    const QString connectionType = vornRoot() ? vornRoot()->connectionType() : QString();
    browserElement_ =
        std::make_shared<BrowserElement>(SessionPages::sessionName(connectionType, sessionIdentifier.first()),
                                         QString(), QStringLiteral("Session"), BrowserElement::Session);
    name_ = browserElement_->name();
    image_ = ImageUtil::imageForBrowserElement(BrowserElement::Session);
    sections_ = sections;
    scheduleExtendedLoad();
}

void InfoController::loadSessionInfo(const VornInfoClientPtr &info, bool backgroundConnection)
{
    const auto current = current_;
    const QVariantList pages = sessionPages_;
    const QStringList identifier = sessionIdentifier_;
    std::weak_ptr<char> alive = alive_;
    runInfoLoad(sessionLoadThreadName, activityText("Loading session information"), info,
                backgroundConnection, [this, info, current, alive, pages, identifier] {
                    const QString second = identifier.value(1);
                    for (const QVariant &entryValue : pages) {
                        if (current->load() != info.get())
                            break;
                        const QVariantMap entry = entryValue.toMap();
                        // A page of a type this program does not know has no place to show; it is not read,
                        // so it cannot cover the general page with its rows or its notice.
                        const qint64 type = SessionPages::sectionType(entry.value("type").toString());
                        if (type == 0)
                            continue;
                        const QVariantMap page = entry.value("info").toMap();
                        const bool transpose = page.value("type").toString() == QLatin1String("transpose");
                        const std::optional<QVariantList> rows = info->sessionData(
                            page.value("query").toString(), identifier.first(), second, transpose, 0.5f);
                        auto section = std::make_shared<InfoItemSection>();
                        section->type = type;
                        section->title = page.value("name").toString();
                        section->groups = SessionPages::groups(page, rows, entry.value("actions").toList(),
                                                               identifier, section->type);
                        section->fullyLoaded = true;
                        MainThread::post([this, alive, info, section] {
                            if (!alive.expired())
                                sessionSectionUpdated(info, section);
                        });
                    }
                });
}

void InfoController::sessionSectionUpdated(const VornInfoClientPtr &source, const InfoItemSectionPtr &section)
{
    if (source != vornInfo_)
        return;
    if (InfoItemSectionPtr shown = findSection(section->type)) {
        shown->groups = section->groups;
        shown->fullyLoaded = true;
    }
    std::weak_ptr<char> alive = alive_;
    const qint64 type = section->type;
    MainThread::post([this, alive, type] {
        if (!alive.expired())
            sendInfoHasBeenUpdated(type);
    });
}

void InfoController::referToManagement(const QVariantList &sessionIdentifier)
{
    QStringList identifier;
    for (const QVariant &value : sessionIdentifier)
        identifier << SessionPages::identifierText(value);
    // A row without a session id has no session to show.
    if (!infoDelegate_ || identifier.isEmpty() || identifier.first().isEmpty()) {
        QApplication::beep();
        return;
    }
    VornRootClientPtr root = keepConnection_ && vornInfo_ ? vornInfo_->root() : vornRoot();
    if (!root)
        root = vornRoot();
    auto referred = std::make_shared<InfoController>(root);
    referred->setThreadController(threadController());
    referred->resourceFolder_ = resourceFolder_;
    referred->setManagementMode(true);
    referred->resetManagementUsingSessionIdentifier(identifier);
    infoDelegate_->requestSeparatedViewOfInfoController(referred);
}

void InfoController::referToAction(const QVariantMap &action, QWidget *window)
{
    if (!action.contains("confirm")) {
        runSessionAction(action, window);
        return;
    }
    const QString confirm = action.value("confirm").toString();
    const QString confirmOk = action.value("confirmOk", infoText("OK")).toString();
    const QString confirmCancel = action.value("confirmCancel", infoText("Cancel")).toString();
    std::weak_ptr<char> alive = alive_;
    QPointer<QWidget> sheetWindow = window;
    DocumentAlertSheet::begin(window, confirm, action.value("confirmMessage", confirm).toString(),
                              {confirmOk, confirmCancel}, 1, [this, alive, action, sheetWindow](int index) {
                                  if (index == 0 && !alive.expired())
                                      runSessionAction(action, sheetWindow);
                              });
}

void InfoController::runSessionAction(const QVariantMap &action, const QPointer<QWidget> &window)
{
    const QStringList identifier = action.value("sessionIdentifier").toStringList();
    const VornInfoClientPtr info = vornInfo_;
    if (!info || identifier.isEmpty() || !threadController())
        return;
    const bool keep = keepConnection_;
    const bool background = useBackgroundConnection();
    auto result = std::make_shared<ActionOutcome>();
    std::weak_ptr<char> alive = alive_;
    BackgroundJob job;
    job.threadName = sessionActionThreadName;
    job.threads = threadController();
    job.daemon = true;
    job.ownerAlive = [alive] { return !alive.expired(); };
    job.work = [info, background, keep, identifier, action, result](const WorkerControl &) {
        const QString reason = activityText("Loading session information");
        result->reserved =
            background ? info->reserveBackgroundRoot(reason) : info->reserveForegroundRoot(reason);
        if (!result->reserved)
            return;
        result->outcome =
            info->sessionAction(action.value("query").toString(), identifier.first(), identifier.value(1));
        info->releaseReservedRoot();
        if (!keep)
            info->endConnection();
    };
    job.failed = [result](const QString &message) { result->outcome = BackendOutcome::failure(message); };
    job.done = [this, result, action, window, background] {
        if (background && result->reserved)
            hasBackgroundConnection_ = true;
        QString message;
        if (!result->reserved)
            message =
                infoText("No connection to the database was free for the action; try again in a moment.");
        else if (!result->outcome.successful)
            message = result->outcome.errorMessage;
        if (!message.isNull()) {
            qCWarning(infoLog) << "error" << message;
            DocumentAlertSheet::begin(window, infoText("Database error"),
                                      infoText("The action \"%1\" could not be performed on the session.\n%2")
                                          .arg(action.value("name").toString(), message),
                                      {infoText("OK")}, 0, [](int) {});
        }
        // The pages show what the action left, or that the session has gone.
        refresh();
    };
    BackgroundRunner::run(std::move(job));
}
