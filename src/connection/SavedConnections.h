#pragma once

#include "connection/ConnectionParameters.h"

#include <QList>

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

    // Entries that are not dictionaries are left out.
    static QList<ConnectionParametersPtr> allConnections(UserDefaults *defaults = nullptr);
};
