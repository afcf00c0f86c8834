#pragma once

#include "platform/Keychain.h"

#include <QHash>
#include <QPair>

// A keychain that lives only as long as the object: for tests.
class InMemoryKeychain : public Keychain
{
public:
    std::optional<QString> findPassword(const QString &service, const QString &account) override;
    bool storePassword(const QString &service, const QString &account, const QString &password) override;

    int itemCount() const { return int(items_.size()); }

private:
    QHash<QPair<QString, QString>, QString> items_;
};
