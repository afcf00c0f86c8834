#include "connection/ConnectedController.h"
#include "platform/AppFolders.h"

#include "connection/ConnectedControllerDelegate.h"
#include "platform/PropertyList.h"
#include "platform/UnreadableFile.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QHash>
#include <QLoggingCategory>

#include <execinfo.h>

#include <climits>
#include <cstdlib>

namespace
{

Q_LOGGING_CATEGORY(controllerLog, "vorn.connectedcontroller")

const QString settingsSuffix = QStringLiteral(".connectionsettings");

// Every connection's settings dictionary, by identifier, for the life of the process.
QHash<QString, std::shared_ptr<QVariantMap>> &settingsCache()
{
    static QHash<QString, std::shared_ptr<QVariantMap>> cache;
    return cache;
}

void logMissingDelegate()
{
    qCWarning(controllerLog) << "Connected controller must have a delegate at this point";
    void *frames[64];
    const int count = backtrace(frames, 64);
    char **symbols = backtrace_symbols(frames, count);
    QStringList trace;
    for (int i = 0; symbols && i < count; ++i)
        trace.append(QString::fromLocal8Bit(symbols[i]));
    std::free(symbols);
    qCWarning(controllerLog).noquote() << QStringLiteral("Trace %1").arg(trace.join('\n'));
}

// A file name for the identifier: a local-file identifier holds "/", so "%" and "/" are encoded;
// a name the file system would refuse is cut short and made unique with a hash of the whole.
QString settingsFileName(const QString &identifier)
{
    QString name = identifier;
    name.replace('%', QLatin1String("%25")).replace('/', QLatin1String("%2F"));
    if ((name + settingsSuffix).toUtf8().size() <= NAME_MAX)
        return name + settingsSuffix;
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(identifier.toUtf8(), QCryptographicHash::Sha256).toHex().left(32));
    const QString tail = '~' + hash + settingsSuffix;
    while (!name.isEmpty() && (name + tail).toUtf8().size() > NAME_MAX)
        name.chop(1);
    if (!name.isEmpty() && name.back().isHighSurrogate())
        name.chop(1);
    return name + tail;
}

} // namespace

ConnectedController::ConnectedController(VornRootClientPtr vornRoot) : vornRoot_(std::move(vornRoot))
{
    Q_ASSERT_X(vornRoot_, "ConnectedController", "Cannot initialize with an nil vornRoot");
}

ConnectedController::~ConnectedController() = default;

void ConnectedController::setThreadController(std::shared_ptr<ThreadController> threadController)
{
    threadController_ = std::move(threadController);
}

void ConnectedController::setStatusManager(std::shared_ptr<StatusManager> statusManager)
{
    statusManager_ = std::move(statusManager);
}

void ConnectedController::setVornRoot(VornRootClientPtr vornRoot)
{
    vornRoot_ = std::move(vornRoot);
}

QVariantMap ConnectedController::settings() const
{
    return settings_ ? *settings_ : QVariantMap();
}

bool ConnectedController::requestRootReservation(const QString &description)
{
    return delegate_ && delegate_->connectedControllerWantsRootReservationFor(this, description);
}

void ConnectedController::releaseRootReservation()
{
    if (delegate_)
        delegate_->connectedControllerWantsEndRootReservation(this);
}

void ConnectedController::runReserved(BackgroundJob job)
{
    Q_ASSERT_X(threadController_, "ConnectedController",
               "Reserved work needs the document's thread controller");
    job.threads = threadController_;
    job.ownerAlive = [lifetime = std::weak_ptr<const char>(lifetime_)] { return !lifetime.expired(); };
    job.release = [this] { releaseRootReservation(); };
    job.orphanedRelease = [root = vornRoot_] { root->releaseReservedRoot(); };
    BackgroundRunner::run(std::move(job));
}

bool ConnectedController::requestFocusChangeEndEditing(bool endEditing)
{
    return delegate_ && delegate_->connectedControllerWantsToChangeFocus(this, endEditing);
}

bool ConnectedController::requestFocusChange()
{
    return requestFocusChangeEndEditing(true);
}

bool ConnectedController::clearRootSelection()
{
    return delegate_ && delegate_->connectedControllerWantsClearRootSelection(this);
}

QString ConnectedController::settingsFilePath(const QString &identifier)
{
    return AppFolders::connectionSettings() + '/' + settingsFileName(identifier);
}

void ConnectedController::loadSettingsIfNecessary()
{
    if (!delegate_) {
        logMissingDelegate();
        return;
    }
    const QString identifier = delegate_->connectedControllerWantsUniqueConnectionIdentifier(this);
    Q_ASSERT_X(!identifier.isNull(), "ConnectedController", "Delegate must always provide connection string");

    QHash<QString, std::shared_ptr<QVariantMap>> &cache = settingsCache();
    const auto cached = cache.constFind(identifier);
    if (cached != cache.constEnd() && settingsString_ == identifier) {
        settings_ = *cached;
        return;
    }
    settingsString_ = identifier;
    // Every change is written at once, so the file holds what other controllers stored.
    const QString path = settingsFilePath(identifier);
    QVariant stored = PropertyList::readFile(path);
    // The next change would replace a file that no longer reads with only that change.
    if (!stored.isValid() && QFileInfo::exists(path))
        keepUnreadableFileAside(path);
    settings_ = std::make_shared<QVariantMap>(stored.toMap());
    cache.insert(identifier, settings_);
}

QVariant ConnectedController::connectionSettingsWithName(const QString &key)
{
    loadSettingsIfNecessary();
    return settings_ ? settings_->value(key) : QVariant();
}

void ConnectedController::setConnectionSettingWithName(const QString &key, const QVariant &value)
{
    loadSettingsIfNecessary();
    if (!settings_)
        return;
    if (value.isValid())
        settings_->insert(key, value);
    else
        settings_->remove(key);
    storeSettings();
}

void ConnectedController::storeSettings()
{
    if (!settings_)
        return;
    const QString path = settingsFilePath(settingsString_);
    QString error;
    if (!PropertyList::writeFile(*settings_, path, &error))
        qCWarning(controllerLog).noquote() << "The connection settings were not saved:" << error;
}
