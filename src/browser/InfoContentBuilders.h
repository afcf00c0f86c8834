#pragma once

#include "browser/InfoItemGroup.h"

#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <functional>

// Turn what the backend reports about one object into the groups of one info section each. Missing
// values leave their line or group out or give a stated fallback; nothing here fails.
class InfoContentBuilders
{
public:
    // A link to a related object (name, type literal, browser type): a new element, or null when the
    // info cannot describe that object.
    using LinkMaker =
        std::function<BrowserElementPtr(const QString &name, const QString &type, qint64 browserType)>;

    static QList<InfoItemGroup> generalGroups(const QVariantMap &generic, const LinkMaker &link);
    static QList<InfoItemGroup> columnGroups(const QVariantList &columns);
    static QList<InfoItemGroup> indexGroups(const QVariantMap &indexes, const LinkMaker &link);
    static QList<InfoItemGroup> constraintGroups(const QVariantList &constraints, const LinkMaker &link);
    static QList<InfoItemGroup> partitionGroups(const QVariantMap &generic);
    static QList<InfoItemGroup> triggerGroups(const QStringList &triggers);
    static QList<InfoItemGroup> ddlGroups(const QString &ddl);

    // The words a database uses, as labels: "Database" for "database", else the defaults.
    static QString catalogLabel(const QVariant &term);
    static QString schemaLabel(const QVariant &term);
    // "2.35 seconds": the time rounded to hundredths.
    static QString timingText(double seconds);
    // The one-long-text group of messages and placeholders.
    static InfoItemGroup textGroup(const QString &text);
};
