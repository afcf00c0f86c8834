#include "platform/SecretServiceKeychain.h"

#include "platform/NotificationCenter.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QEventLoop>
#include <QLoggingCategory>

#include <qt6keychain/keychain.h>

#include <atomic>

namespace
{

Q_LOGGING_CATEGORY(keychainLog, "vorn.keychain")

void noticeUnavailableOnce(const QString &detail)
{
    static std::atomic_bool told{false};
    if (told.exchange(true))
        return;
    const QString message = QCoreApplication::translate(
        "Keychain", "No keyring service is running, so Vorn cannot save or look up connection passwords. "
                    "Start a keyring such as GNOME Keyring or KWallet to keep them.");
    qCWarning(keychainLog).noquote() << "No keyring service available:" << detail;
    NotificationCenter::defaultCenter().postNotification(SecretServiceKeychain::unavailableNotification,
                                                         nullptr, {{"message", message}});
}

// QtKeychain reports a missing keyring service as an ordinary error (often "OtherError"), so
// ask the session bus whether any keyring service runs or can be started.
bool keyringServiceReachable()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    const QStringList names{"org.freedesktop.secrets", "org.kde.kwalletd5", "org.kde.kwalletd6"};
    for (const QString &name : names) {
        if (bus.interface()->isServiceRegistered(name))
            return true;
    }
    const QDBusReply<QStringList> activatable = bus.interface()->call("ListActivatableNames");
    if (!activatable.isValid())
        return false;
    for (const QString &name : names) {
        if (activatable.value().contains(name))
            return true;
    }
    return false;
}

} // namespace

const QString SecretServiceKeychain::unavailableNotification = QStringLiteral("KeychainUnavailable");

void SecretServiceKeychain::runJob(QKeychain::Job &job)
{
    job.setAutoDelete(false);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void SecretServiceKeychain::reportFailure(const QKeychain::Job &job, const char *operation)
{
    if (job.error() == QKeychain::NoBackendAvailable || !keyringServiceReachable())
        noticeUnavailableOnce(job.errorString());
    else
        qCWarning(keychainLog).noquote() << operation << "failed:" << job.errorString();
}

std::optional<QString> SecretServiceKeychain::findPassword(const QString &service, const QString &account)
{
    QKeychain::ReadPasswordJob job(service);
    job.setKey(account);
    runJob(job);
    if (job.error() == QKeychain::NoError)
        return job.textData();
    if (job.error() != QKeychain::EntryNotFound)
        reportFailure(job, "Password lookup");
    return std::nullopt;
}

bool SecretServiceKeychain::storePassword(const QString &service, const QString &account,
                                          const QString &password)
{
    QKeychain::WritePasswordJob job(service);
    job.setKey(account);
    job.setTextData(password);
    runJob(job);
    if (job.error() == QKeychain::NoError)
        return true;
    reportFailure(job, "Storing a password");
    return false;
}
