#pragma once

#include "platform/Keychain.h"

namespace QKeychain
{
class Job;
}

// The desktop keyring (Secret Service, or KWallet) through QtKeychain. Its jobs are
// asynchronous: each call waits for its job in a local event loop that leaves user input alone.
// When no keyring service runs at all, the log and the user hear about it once per run, and
// lookups answer "not found".
class SecretServiceKeychain : public Keychain
{
public:
    // Posted once per run, with the text for the user under "message".
    static const QString unavailableNotification;

    std::optional<QString> findPassword(const QString &service, const QString &account) override;
    bool storePassword(const QString &service, const QString &account, const QString &password) override;

private:
    static void runJob(QKeychain::Job &job);
    static void reportFailure(const QKeychain::Job &job, const char *operation);
};
