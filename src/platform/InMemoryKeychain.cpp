#include "platform/InMemoryKeychain.h"

std::optional<QString> InMemoryKeychain::findPassword(const QString &service, const QString &account)
{
    const auto it = items_.constFind({service, account});
    if (it == items_.constEnd())
        return std::nullopt;
    return *it;
}

bool InMemoryKeychain::storePassword(const QString &service, const QString &account, const QString &password)
{
    items_.insert({service, account}, password);
    return true;
}
