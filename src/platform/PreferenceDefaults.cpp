#include "platform/PreferenceDefaults.h"

#include "platform/Preferences.h"
#include "platform/UserDefaults.h"

#include <QColor>
#include <QVariant>

#include <utility>
#include <vector>

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
        {PreferenceKey::checkForUpdatesAtStartup, yes},
        {PreferenceKey::startWithSqlEditor, no},
        {PreferenceKey::timestampDataFormat, QString("dd-MM-yyyy HH:mm:ss.S")},
        {PreferenceKey::cocoaTimestampDataFormat, QVariant()},
        {PreferenceKey::timestampRoundMidnight, yes},
        {PreferenceKey::quickFilterUseLike, yes},
        {PreferenceKey::quickFilterUseLikeMatchOnNumeric, no},
        {PreferenceKey::resultSetScroll, yes},
        {PreferenceKey::recallCount, 100.0},
        {PreferenceKey::numberOfResultSetRows, integer(10000)},
        {PreferenceKey::performSyntaxColoring, yes},
        {PreferenceKey::syntaxNormalColor, color(0, 0, 0)},
        {PreferenceKey::syntaxReservedColor, color(0, 0, 1)},
        {PreferenceKey::syntaxContextColor, color(0.6, 0.4, 0.2)},
        {PreferenceKey::syntaxLiteralColor, color(1, 0, 0)},
        {PreferenceKey::syntaxCommentColor, color(0, 0.5, 0)},
        {PreferenceKey::syntaxActiveHintColor, color(0.9, 1.0, 0.9)},
        {PreferenceKey::syntaxFindBraces, yes},
        {PreferenceKey::syntaxAutoComplete, yes},
        {PreferenceKey::syntaxFontSize, integer(11)},
        {PreferenceKey::export_skip_autofill, no},
        {PreferenceKey::exportSource, integer(-1)},
        {PreferenceKey::exportIncludeHeader, yes},
        {PreferenceKey::exportCSVSeparator, QString(",")},
        {PreferenceKey::exportDoubleQuoteColumns, yes},
        {PreferenceKey::exportToClipboard, no},
        {PreferenceKey::exportEncoding, integer(4)},
        {PreferenceKey::print_source, integer(0)},
        {PreferenceKey::print_source_length, integer(200)},
        {PreferenceKey::print_header, yes},
        {PreferenceKey::print_column_header, yes},
        {PreferenceKey::print_footer, yes},
        {PreferenceKey::print_alternaterows, yes},
        {PreferenceKey::print_trunc_query, yes},
        {PreferenceKey::alwaysShowTabbar, yes},
        {PreferenceKey::collapseSingleTab, no},
        {PreferenceKey::selectCreatedTabs, yes},
        {PreferenceKey::showColorLabelTabs, yes},
        {PreferenceKey::showColorLabelTabsWide, no},
        {PreferenceKey::tabTitleFormat, integer(0)},
        {PreferenceKey::openDocumentInTab, yes},
        {PreferenceKey::timeOutWhileConnecting, yes},
        {PreferenceKey::allowBackgroundConnections, yes},
        {PreferenceKey::keepConnectionAlive, yes},
        {PreferenceKey::recycleBinSupport, yes},
        {PreferenceKey::oracleIndexHints, yes},
        {PreferenceKey::autoReconnectFromDocument, yes},
        {PreferenceKey::browser_recent_enabled, yes},
        {PreferenceKey::browser_favourite_enabled, yes},
        {PreferenceKey::browser_recent_count, integer(5)},
        {PreferenceKey::browser_skip_favourite_keyboard_navigation, yes},
        {PreferenceKey::activity_viewer_show_inactive, yes},
        {PreferenceKey::syntaxParameterColor, color(0.5, 0, 0.5)},
        {PreferenceKey::startWithBrowserPanel, yes},
        {PreferenceKey::startWithInfoPanel, yes},
        {PreferenceKey::allowBackgroundConnectionsConnection, yes},
        {PreferenceKey::allowBackgroundConnectionsInfoInspector, yes},
        {PreferenceKey::tabDuplicateSQL, no},
    };
}

} // namespace

void PreferenceDefaults::setDefaultPreferences(UserDefaults &defaults)
{
    for (const auto &[key, value] : defaultTable()) {
        if (!value.isValid()) {
            // Derived at every start, so it follows a format changed outside the preferences window.
            defaults.setObject(
                cocoaTimestampFormatFor(defaults.stringForKey(PreferenceKey::timestampDataFormat)), key);
            continue;
        }
        if (!defaults.contains(key))
            defaults.setObject(value, key);
    }
    // A stored 0 never survives a start; a value of another kind is left alone like every other key.
    const QVariant exportSource = defaults.objectForKey(PreferenceKey::exportSource);
    const bool numeric = exportSource.typeId() == QMetaType::Double ||
                         exportSource.typeId() == QMetaType::LongLong ||
                         exportSource.typeId() == QMetaType::Int;
    if (numeric && exportSource.toDouble() == 0)
        defaults.setObject(qint64(-1), PreferenceKey::exportSource);
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

QVariant PreferenceDefaults::defaultValue(const QString &key)
{
    for (const auto &[candidate, value] : defaultTable()) {
        if (candidate == key)
            return value;
    }
    return {};
}
