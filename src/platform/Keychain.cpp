#include "platform/Keychain.h"

#include "platform/SecretServiceKeychain.h"

namespace
{

std::unique_ptr<Keychain> &sharedSlot()
{
    static std::unique_ptr<Keychain> keychain;
    return keychain;
}

} // namespace

Keychain &Keychain::shared()
{
    std::unique_ptr<Keychain> &slot = sharedSlot();
    if (!slot)
        slot = std::make_unique<SecretServiceKeychain>();
    return *slot;
}

std::unique_ptr<Keychain> Keychain::setShared(std::unique_ptr<Keychain> keychain)
{
    std::unique_ptr<Keychain> previous = std::move(sharedSlot());
    sharedSlot() = std::move(keychain);
    return previous;
}
