#pragma once

#include "platform/InMemoryKeychain.h"

#include <memory>

// A keyring that keeps what it holds but refuses to store while told to, as a locked keyring or
// a denied write does. Shared while the scope lives.
class RefusingKeychainScope
{
public:
    class Store : public InMemoryKeychain
    {
    public:
        bool storePassword(const QString &service, const QString &account, const QString &password) override
        {
            return !refuses && InMemoryKeychain::storePassword(service, account, password);
        }
        bool refuses = false;
    };

    RefusingKeychainScope()
    {
        auto store = std::make_unique<Store>();
        store_ = store.get();
        previous_ = Keychain::setShared(std::move(store));
    }
    ~RefusingKeychainScope() { Keychain::setShared(std::move(previous_)); }
    RefusingKeychainScope(const RefusingKeychainScope &) = delete;
    RefusingKeychainScope &operator=(const RefusingKeychainScope &) = delete;

    Store &keychain() { return *store_; }

private:
    Store *store_ = nullptr;
    std::unique_ptr<Keychain> previous_;
};
