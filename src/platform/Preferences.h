#pragma once

#include <QString>

class UserDefaults;

// The names of the preference keys. Every key the defaults writer fills at start-up is here, and the
// keys the program keeps in the same store without a default; no other code spells a key out.
namespace PreferenceKey
{

inline const QString checkForUpdatesAtStartup = QStringLiteral("checkForUpdatesAtStartup");
inline const QString startWithSqlEditor = QStringLiteral("startWithSqlEditor");
inline const QString timestampDataFormat = QStringLiteral("timestampDataFormat");
inline const QString cocoaTimestampDataFormat = QStringLiteral("cocoaTimestampDataFormat");
inline const QString timestampRoundMidnight = QStringLiteral("timestampRoundMidnight");
inline const QString quickFilterUseLike = QStringLiteral("quickFilterUseLike");
inline const QString quickFilterUseLikeMatchOnNumeric = QStringLiteral("quickFilterUseLikeMatchOnNumeric");
inline const QString resultSetScroll = QStringLiteral("resultSetScroll");
inline const QString recallCount = QStringLiteral("recallCount");
inline const QString numberOfResultSetRows = QStringLiteral("numberOfResultSetRows");
inline const QString performSyntaxColoring = QStringLiteral("performSyntaxColoring");
inline const QString syntaxNormalColor = QStringLiteral("syntaxNormalColor");
inline const QString syntaxReservedColor = QStringLiteral("syntaxReservedColor");
inline const QString syntaxContextColor = QStringLiteral("syntaxContextColor");
inline const QString syntaxLiteralColor = QStringLiteral("syntaxLiteralColor");
inline const QString syntaxCommentColor = QStringLiteral("syntaxCommentColor");
inline const QString syntaxActiveHintColor = QStringLiteral("syntaxActiveHintColor");
inline const QString syntaxFindBraces = QStringLiteral("syntaxFindBraces");
inline const QString syntaxAutoComplete = QStringLiteral("syntaxAutoComplete");
inline const QString syntaxFontSize = QStringLiteral("syntaxFontSize");
inline const QString export_skip_autofill = QStringLiteral("export_skip_autofill");
inline const QString exportSource = QStringLiteral("exportSource");
inline const QString exportIncludeHeader = QStringLiteral("exportIncludeHeader");
inline const QString exportCSVSeparator = QStringLiteral("exportCSVSeparator");
inline const QString exportDoubleQuoteColumns = QStringLiteral("exportDoubleQuoteColumns");
inline const QString exportToClipboard = QStringLiteral("exportToClipboard");
inline const QString exportEncoding = QStringLiteral("exportEncoding");
inline const QString print_source = QStringLiteral("print_source");
inline const QString print_source_length = QStringLiteral("print_source_length");
inline const QString print_header = QStringLiteral("print_header");
inline const QString print_column_header = QStringLiteral("print_column_header");
inline const QString print_footer = QStringLiteral("print_footer");
inline const QString print_alternaterows = QStringLiteral("print_alternaterows");
inline const QString print_trunc_query = QStringLiteral("print_trunc_query");
inline const QString alwaysShowTabbar = QStringLiteral("alwaysShowTabbar");
inline const QString collapseSingleTab = QStringLiteral("collapseSingleTab");
inline const QString selectCreatedTabs = QStringLiteral("selectCreatedTabs");
inline const QString showColorLabelTabs = QStringLiteral("showColorLabelTabs");
inline const QString showColorLabelTabsWide = QStringLiteral("showColorLabelTabsWide");
inline const QString tabTitleFormat = QStringLiteral("tabTitleFormat");
inline const QString openDocumentInTab = QStringLiteral("openDocumentInTab");
inline const QString timeOutWhileConnecting = QStringLiteral("timeOutWhileConnecting");
inline const QString allowBackgroundConnections = QStringLiteral("allowBackgroundConnections");
inline const QString keepConnectionAlive = QStringLiteral("keepConnectionAlive");
inline const QString recycleBinSupport = QStringLiteral("recycleBinSupport");
inline const QString oracleIndexHints = QStringLiteral("oracleIndexHints");
inline const QString autoReconnectFromDocument = QStringLiteral("autoReconnectFromDocument");
inline const QString browser_recent_enabled = QStringLiteral("browser_recent_enabled");
inline const QString browser_favourite_enabled = QStringLiteral("browser_favourite_enabled");
inline const QString browser_recent_count = QStringLiteral("browser_recent_count");
inline const QString browser_skip_favourite_keyboard_navigation =
    QStringLiteral("browser_skip_favourite_keyboard_navigation");
inline const QString activity_viewer_show_inactive = QStringLiteral("activity_viewer_show_inactive");
inline const QString syntaxParameterColor = QStringLiteral("syntaxParameterColor");
inline const QString startWithBrowserPanel = QStringLiteral("startWithBrowserPanel");
inline const QString startWithInfoPanel = QStringLiteral("startWithInfoPanel");
inline const QString allowBackgroundConnectionsConnection =
    QStringLiteral("allowBackgroundConnectionsConnection");
inline const QString allowBackgroundConnectionsInfoInspector =
    QStringLiteral("allowBackgroundConnectionsInfoInspector");
inline const QString tabDuplicateSQL = QStringLiteral("tabDuplicateSQL");

// Kept in the store without a default.
inline const QString vorn2upgrade = QStringLiteral("vorn2upgrade");
inline const QString last_auto_releasenotes = QStringLiteral("last_auto_releasenotes");
inline const QString quicklookRefresh = QStringLiteral("QuicklookRefresh_3.0.0");
inline const QString defaultTabTitle = QStringLiteral("defaultTabTitle");
inline const QString exportFormat = QStringLiteral("exportFormat");
// The files of Open Recent, most recent first.
inline const QString recentDocuments = QStringLiteral("recentDocuments");

} // namespace PreferenceKey

// Typed reading of the preferences, by key constant; the standard store unless one is given.
class Preferences
{
public:
    // Posted (no sender, no user info) when a setting of the SQL editor group changed; observers
    // read the store again.
    static const QString sqlPreferenceUpdateNotification;

    explicit Preferences(UserDefaults *store = nullptr);

    bool flag(const QString &key) const;
    qint64 integer(const QString &key) const;
    QString text(const QString &key) const;

private:
    UserDefaults &store_;
};
