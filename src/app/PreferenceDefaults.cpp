#include "app/PreferenceDefaults.h"

#include "platform/UserDefaults.h"

#include <QColor>
#include <QVariant>

#include <utility>
#include <vector>

const QString PreferenceDefaults::sqlPreferenceUpdateNotification = QStringLiteral("SQL_PREFERENCE_UPDATE");

namespace
{

QVariant color(double red, double green, double blue)
{
    return QColor::fromRgbF(red, green, blue).name();
}

// Every key in the order the writer handles them; an invalid value marks the derived key.
std::vector<std::pair<QString, QVariant>> defaultTable()
{
    const QVariant yes(true);
    const QVariant no(false);
    auto integer = [](qint64 value) { return QVariant(value); };
    return {
        {"checkForUpdatesAtStartup", yes},
        {"startWithSqlEditor", no},
        {"timestampDataFormat", QString("dd-MM-yyyy HH:mm:ss.S")},
        {"cocoaTimestampDataFormat", QVariant()},
        {"timestampRoundMidnight", yes},
        {"quickFilterUseLike", yes},
        {"quickFilterUseLikeMatchOnNumeric", no},
        {"resultSetScroll", yes},
        {"recallCount", 100.0},
        {"numberOfResultSetRows", integer(10000)},
        {"performSyntaxColoring", yes},
        {"syntaxNormalColor", color(0, 0, 0)},
        {"syntaxReservedColor", color(0, 0, 1)},
        {"syntaxContextColor", color(0.6, 0.4, 0.2)},
        {"syntaxLiteralColor", color(1, 0, 0)},
        {"syntaxCommentColor", color(0, 0.5, 0)},
        {"syntaxActiveHintColor", color(0.9, 1.0, 0.9)},
        {"syntaxFindBraces", yes},
        {"syntaxAutoComplete", yes},
        {"syntaxFontSize", integer(11)},
        {"export_skip_autofill", no},
        {"exportSource", integer(-1)},
        {"exportIncludeHeader", yes},
        {"exportCSVSeparator", QString(",")},
        {"exportDoubleQuoteColumns", yes},
        {"exportToClipboard", no},
        {"exportEncoding", integer(4)},
        {"print_source", integer(0)},
        {"print_source_length", integer(200)},
        {"print_header", yes},
        {"print_column_header", yes},
        {"print_footer", yes},
        {"print_alternaterows", yes},
        {"print_trunc_query", yes},
        {"alwaysShowTabbar", yes},
        {"collapseSingleTab", no},
        {"selectCreatedTabs", yes},
        {"showColorLabelTabs", yes},
        {"showColorLabelTabsWide", no},
        {"tabTitleFormat", integer(0)},
        {"openDocumentInTab", yes},
        {"timeOutWhileConnecting", yes},
        {"allowBackgroundConnections", yes},
        {"keepConnectionAlive", yes},
        {"recycleBinSupport", yes},
        {"oracleIndexHints", yes},
        {"autoReconnectFromDocument", yes},
        {"browser_recent_enabled", yes},
        {"browser_favourite_enabled", yes},
        {"browser_recent_count", integer(5)},
        {"browser_skip_favourite_keyboard_navigation", yes},
        {"activity_viewer_show_inactive", yes},
        {"syntaxParameterColor", color(0.5, 0, 0.5)},
        {"startWithBrowserPanel", yes},
        {"startWithInfoPanel", yes},
        {"allowBackgroundConnectionsConnection", yes},
        {"allowBackgroundConnectionsInfoInspector", yes},
        {"tabDuplicateSQL", no},
    };
}

} // namespace

void PreferenceDefaults::setDefaultPreferences(UserDefaults &defaults)
{
    for (const auto &[key, value] : defaultTable()) {
        if (!value.isValid()) {
            // Derived at every start, so it follows a format changed outside the preferences window.
            defaults.setObject(cocoaTimestampFormatFor(defaults.stringForKey("timestampDataFormat")), key);
            continue;
        }
        if (!defaults.contains(key))
            defaults.setObject(value, key);
    }
    // A stored 0 never survives a start; a value of another kind is left alone like every other key.
    const QVariant exportSource = defaults.objectForKey("exportSource");
    const bool numeric = exportSource.typeId() == QMetaType::Double ||
                         exportSource.typeId() == QMetaType::LongLong ||
                         exportSource.typeId() == QMetaType::Int;
    if (numeric && exportSource.toDouble() == 0)
        defaults.setObject(qint64(-1), "exportSource");
    defaults.synchronize();
}

QString PreferenceDefaults::cocoaTimestampFormatFor(const QString &timestampDataFormat)
{
    if (timestampDataFormat == "dd-MM-yyyy HH:mm:ss.S")
        return "d-M-yyyy HH:mm:ss.S";
    if (timestampDataFormat == "MM/dd/yyyy HH:mm:ss.S")
        return "M/d/yyyy HH:mm:ss.S";
    if (timestampDataFormat == "yyyy-MM-dd HH:mm:ss.S")
        return "yyyy-M-d HH:mm:ss.S";
    return "yyyy/MM/d HH:mm:ss.S";
}
