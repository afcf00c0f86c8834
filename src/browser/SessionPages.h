#pragma once

#include "browser/InfoItemSection.h"

#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <optional>

// The pages of one database session, as the management resource "Management<type>Session.plist" lists
// them: each entry's "type" picks the page, its "info" says how the rows of its query become groups of
// name and value lines, and its "actions" become action lines. Pure functions; any thread.
class SessionPages
{
public:
    // The page of an entry type; 0 for a type this program does not know.
    static qint64 sectionType(const QString &entryType);
    // The title of a page that is still loading.
    static QString placeholderTitle(qint64 sectionType);
    // The notice of a page whose query found nothing.
    static QString notFoundText(qint64 sectionType);
    // The text form in which an identifier from a grid row crosses to the backend (bound there as a
    // number when it is one); null for a missing value.
    static QString identifierText(const QVariant &value);
    // The session's title: "Process: %1" where the database calls sessions processes, else "Session: %1".
    static QString sessionName(const QString &connectionType, const QString &firstIdentifier);

    // Each repeated "GROUP_NAME" gets a number: X, X 2, X 3, ... however often it repeats.
    static void numberRepeatedGroupNames(QVariantList &rows);
    // The groups of one page from its rows (none: the query could not be read), followed by the actions
    // for the session; a page without rows gets its notice alone.
    static QList<InfoItemGroup> groups(const QVariantMap &info, const std::optional<QVariantList> &rows,
                                       const QVariantList &actions, const QStringList &sessionIdentifier,
                                       qint64 sectionType);
};
