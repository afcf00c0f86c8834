#pragma once

#include "connection/ConnectionParameters.h"

#include <QVariantMap>

class ConnectionsBackupPrompt;

// The connections backup file: a JSON object with every saved connection and, on request,
// its password in plain text. Main thread only: both operations wait on modal alerts.
class ConnectionsBackup
{
public:
    // Writes the saved connections to path and tells the user how it went.
    static void exportConnectionsBackupToURL(const QString &path, bool includePasswords,
                                             ConnectionsBackupPrompt &prompt);
    // Asks how to import the file's connections, adds them to (or replaces) the saved list and,
    // once that list is in the preferences file, stores their passwords. When the list cannot be
    // saved the user is told and the previous one is kept. Local-file connections are skipped, and
    // replacing keeps the saved ones: a backup never brings them. The closing alert counts what was
    // skipped and why.
    static void importConnectionsBackupFromURL(const QString &path, ConnectionsBackupPrompt &prompt);

    static QVariantMap convertConnectionToBackup(const ConnectionParameters &connection,
                                                 bool includePassword);
    // inputVersion is the file's generation, 2 or 3.
    static ConnectionParameters convertConnectionFromBackup(const QVariantMap &entry, int inputVersion);
};
