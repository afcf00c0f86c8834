#pragma once

#include "connection/ConnectionParameters.h"

#include <QString>
#include <QVariantMap>

#include <optional>

class UserDefaults;

// The stored-settings header of saved SQL documents: one block comment before the SQL text that
// records the connection, the statement-parameter values and the document's options, so that
// opening the file reconnects. The current generation (a JSON object) is written and read; the
// previous generation (semicolon-separated fields) is only read.
class DocumentHelper
{
public:
    // Puts the header in front of sql. connectionParameters may be null (no connection).
    static bool createStorageSettingsForSQL(QString &sql, const ConnectionParameters *connectionParameters,
                                            const QVariantMap &queryArguments,
                                            const QVariantMap &documentOptions);
    // True when sql starts with a complete header of either generation (a comment that only begins
    // like one, or is left open, is the user's text and stays): sql then becomes the text after the
    // header and the out values are filled as far as the header holds them (documentOptions is
    // reset when a readable header has none; unreadable settings change nothing). False leaves
    // everything as it was, except that a header without settings is still taken off the text.
    static bool obtainStoredSettingsFromSql(QString &sql, ConnectionParametersPtr &connectionParameters,
                                            std::optional<QVariantMap> &queryArguments,
                                            std::optional<QVariantMap> &documentOptions,
                                            UserDefaults *defaults = nullptr);

    // Previous generation: "name+value" entries joined by "-", with escaped values.
    static QVariantMap parseVorn2QueryArguments(const QString &arguments);
    // The saved connection (user defaults `allConnections`, standard ones when null) that matches,
    // else a new definition named after the description.
    static ConnectionParametersPtr
    connectionParametersForVorn2Server(const QString &server, const QString &database,
                                       const QString &username, const QString &databaseType,
                                       const QString &description, UserDefaults *defaults = nullptr);
    // Null and empty are the same; otherwise exact comparison.
    static bool nullsEmptyEqual(const QString &first, const QString &second);

    // The user's full name, as documents record their creator and modifier.
    static QString userFullName();
    // "version (build)" of the application, as headers record it.
    static QString applicationVersion();

private:
    static bool readCurrentGeneration(QString &sql, ConnectionParametersPtr &connectionParameters,
                                      std::optional<QVariantMap> &queryArguments,
                                      std::optional<QVariantMap> &documentOptions, UserDefaults *defaults);
    static bool readPreviousGeneration(QString &sql, ConnectionParametersPtr &connectionParameters,
                                       std::optional<QVariantMap> &queryArguments,
                                       std::optional<QVariantMap> &documentOptions, UserDefaults *defaults);
};
