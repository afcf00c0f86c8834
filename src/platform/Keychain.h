#pragma once

#include <QString>

#include <memory>
#include <optional>

// Generic passwords kept by service and account strings, answered synchronously.
// Used from the main thread only. The shared keychain is the desktop's Secret Service;
// tests swap in an InMemoryKeychain.
class Keychain
{
public:
    virtual ~Keychain() = default;

    // The stored password, or nullopt when there is no item or the keyring cannot be used.
    virtual std::optional<QString> findPassword(const QString &service, const QString &account) = 0;
    // Adds the item, or replaces the password of the existing one. False when nothing was stored.
    virtual bool storePassword(const QString &service, const QString &account, const QString &password) = 0;

    static Keychain &shared();
    // Replaces the shared keychain and answers the previous one.
    static std::unique_ptr<Keychain> setShared(std::unique_ptr<Keychain> keychain);
};
