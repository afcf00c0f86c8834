#pragma once

#include "connection/ConnectionParameters.h"

#include <QList>
#include <QVariantList>

class UserDefaults;

// The saved connections in the user defaults: "allConnections" holds their dictionary forms in
// the user's order (never passwords); the connection list remembers its last choices beside it.
// Reads the standard defaults when given null.
class SavedConnections
{
public:
    static const QString allConnectionsKey;
    static const QString lastSelectedConnectionKey;
    static const QString lastSelectedConnectionGroupingKey;

    // The stored dictionaries, ready to be changed and written back. Whatever a hand edit put there
    // that is no connection (a value that is not a list, entries that are not dictionaries) is first
    // moved to a key of its own beside it, "allConnections.unreadable-<time>", for the user to mend:
    // the next write of the list would otherwise drop it.
    static QVariantList storedList(UserDefaults *defaults = nullptr);
    // The connections of storedList.
    static QList<ConnectionParametersPtr> allConnections(UserDefaults *defaults = nullptr);
};
