#pragma once

#include "platform/InMemoryKeychain.h"

#include <memory>

// An in-memory keychain in place of the shared one while the scope lives.
class InMemoryKeychainScope
{
public:
    InMemoryKeychainScope()
    {
        auto store = std::make_unique<InMemoryKeychain>();
        keychain_ = store.get();
        previous_ = Keychain::setShared(std::move(store));
    }
    ~InMemoryKeychainScope() { Keychain::setShared(std::move(previous_)); }
    InMemoryKeychainScope(const InMemoryKeychainScope &) = delete;
    InMemoryKeychainScope &operator=(const InMemoryKeychainScope &) = delete;

    InMemoryKeychain &keychain() { return *keychain_; }

private:
    InMemoryKeychain *keychain_ = nullptr;
    std::unique_ptr<Keychain> previous_;
};
