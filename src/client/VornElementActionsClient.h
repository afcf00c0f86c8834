#pragma once

#include "bridge/QoJavaObject.h"
#include "client/BackendOutcome.h"

#include <QString>

#include <memory>

class VornRootClient;

// Emptying and dropping schema objects through the root's browser ("nl/dalmerik/vorn/VornBrowser").
// Worker threads, inside the root's reservation.
class VornElementActionsClient
{
public:
    // Null for a root without a backend object (a fake) or without a connection.
    static std::shared_ptr<VornElementActionsClient> ofRoot(const VornRootClient &root);
    explicit VornElementActionsClient(QoJavaObjectPtr browser);

    // cascade: also the tables whose foreign keys refer to it, where the database can.
    BackendOutcome truncateElement(const QString &schema, const QString &type, const QString &name,
                                   bool cascade);
    BackendOutcome dropElement(const QString &schema, const QString &type, const QString &name);

private:
    BackendOutcome outcomeOf(const QString &selector, const QVariantList &args);

    QoJavaObjectPtr browser_;
};
