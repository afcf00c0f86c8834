#include "app/PreferenceDefaults.h"

#include "platform/UserDefaults.h"

#include <QColor>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

struct Store {
    QTemporaryDir dir;
    QString path() const { return dir.filePath("Vorn.json"); }
};

} // namespace

TEST(PreferenceDefaults, FreshStoreGetsEveryKeyWithItsDefault)
{
    Store store;
    {
        UserDefaults defaults(store.path());
        PreferenceDefaults::setDefaultPreferences(defaults);
    }
    UserDefaults reread(store.path()); // what was flushed to the file
    const QList<std::pair<QString, QVariant>> expected{
        {"checkForUpdatesAtStartup", true},
        {"startWithSqlEditor", false},
        {"timestampDataFormat", "dd-MM-yyyy HH:mm:ss.S"},
        {"cocoaTimestampDataFormat", "d-M-yyyy HH:mm:ss.S"},
        {"timestampRoundMidnight", true},
        {"quickFilterUseLike", true},
        {"quickFilterUseLikeMatchOnNumeric", false},
        {"resultSetScroll", true},
        {"recallCount", 100.0},
        {"numberOfResultSetRows", 10000},
        {"performSyntaxColoring", true},
        {"syntaxNormalColor", "#000000"},
        {"syntaxReservedColor", "#0000ff"},
        {"syntaxContextColor", "#996633"},
        {"syntaxLiteralColor", "#ff0000"},
        {"syntaxCommentColor", "#008000"},
        {"syntaxActiveHintColor", "#e6ffe6"},
        {"syntaxFindBraces", true},
        {"syntaxAutoComplete", true},
        {"syntaxFontSize", 11},
        {"export_skip_autofill", false},
        {"exportSource", -1},
        {"exportIncludeHeader", true},
        {"exportCSVSeparator", ","},
        {"exportDoubleQuoteColumns", true},
        {"exportToClipboard", false},
        {"exportEncoding", 4},
        {"print_source", 0},
        {"print_source_length", 200},
        {"print_header", true},
        {"print_column_header", true},
        {"print_footer", true},
        {"print_alternaterows", true},
        {"print_trunc_query", true},
        {"alwaysShowTabbar", true},
        {"collapseSingleTab", false},
        {"selectCreatedTabs", true},
        {"showColorLabelTabs", true},
        {"showColorLabelTabsWide", false},
        {"tabTitleFormat", 0},
        {"openDocumentInTab", true},
        {"timeOutWhileConnecting", true},
        {"allowBackgroundConnections", true},
        {"keepConnectionAlive", true},
        {"recycleBinSupport", true},
        {"oracleIndexHints", true},
        {"autoReconnectFromDocument", true},
        {"browser_recent_enabled", true},
        {"browser_favourite_enabled", true},
        {"browser_recent_count", 5},
        {"browser_skip_favourite_keyboard_navigation", true},
        {"activity_viewer_show_inactive", true},
        {"syntaxParameterColor", "#800080"},
        {"startWithBrowserPanel", true},
        {"startWithInfoPanel", true},
        {"allowBackgroundConnectionsConnection", true},
        {"allowBackgroundConnectionsInfoInspector", true},
        {"tabDuplicateSQL", false},
    };
    ASSERT_EQ(expected.size(), 58);
    for (const auto &[key, value] : expected) {
        SCOPED_TRACE(key.toStdString());
        ASSERT_TRUE(reread.contains(key));
        switch (value.typeId()) {
        case QMetaType::Bool:
            EXPECT_EQ(reread.objectForKey(key).typeId(), QMetaType::Bool);
            EXPECT_EQ(reread.boolForKey(key), value.toBool());
            break;
        case QMetaType::Int:
            EXPECT_EQ(reread.integerForKey(key), value.toInt());
            break;
        case QMetaType::Double:
            EXPECT_DOUBLE_EQ(reread.doubleForKey(key), value.toDouble());
            break;
        default:
            EXPECT_EQ(reread.stringForKey(key), value.toString());
        }
    }
    EXPECT_EQ(reread.integerForKey("recallCount"), 100);
    EXPECT_EQ(QColor(reread.stringForKey("syntaxContextColor")), QColor::fromRgbF(0.6, 0.4, 0.2));
}

TEST(PreferenceDefaults, DerivedTimestampFormatFollowsTheBackendFormatAtEveryStart)
{
    const QList<std::pair<QString, QString>> cases{
        {"dd-MM-yyyy HH:mm:ss.S", "d-M-yyyy HH:mm:ss.S"},
        {"MM/dd/yyyy HH:mm:ss.S", "M/d/yyyy HH:mm:ss.S"},
        {"yyyy-MM-dd HH:mm:ss.S", "yyyy-M-d HH:mm:ss.S"},
        {"yyyy.MM.dd HH:mm", "yyyy/MM/d HH:mm:ss.S"},
        {"", "yyyy/MM/d HH:mm:ss.S"},
    };
    for (const auto &[backend, derived] : cases) {
        SCOPED_TRACE(backend.toStdString());
        Store store;
        UserDefaults defaults(store.path());
        defaults.setObject(backend, "timestampDataFormat");
        defaults.setObject("stale", "cocoaTimestampDataFormat");
        PreferenceDefaults::setDefaultPreferences(defaults);
        EXPECT_EQ(defaults.stringForKey("timestampDataFormat"), backend);
        EXPECT_EQ(defaults.stringForKey("cocoaTimestampDataFormat"), derived);
    }
}

TEST(PreferenceDefaults, ExistingValuesStayWhateverTheirKind)
{
    Store store;
    UserDefaults defaults(store.path());
    defaults.setObject(14, "syntaxFontSize");
    defaults.setObject("#123456", "syntaxReservedColor");
    defaults.setObject("many", "numberOfResultSetRows");
    defaults.setObject(false, "showColorLabelTabs");
    defaults.setObject(QVariantList{1, 2}, "tabTitleFormat");
    PreferenceDefaults::setDefaultPreferences(defaults);
    PreferenceDefaults::setDefaultPreferences(defaults); // a second run changes nothing either
    EXPECT_EQ(defaults.integerForKey("syntaxFontSize"), 14);
    EXPECT_EQ(defaults.stringForKey("syntaxReservedColor"), "#123456");
    EXPECT_EQ(defaults.objectForKey("numberOfResultSetRows"), QVariant("many"));
    EXPECT_FALSE(defaults.boolForKey("showColorLabelTabs"));
    EXPECT_EQ(defaults.arrayForKey("tabTitleFormat"), (QVariantList{1, 2}));
}

TEST(PreferenceDefaults, StoredExportSourceZeroBecomesMinusOne)
{
    const QList<std::pair<QVariant, QVariant>> cases{
        {0, -1}, {0.0, -1}, {2, 2}, {QString("0"), QString("0")}};
    for (const auto &[stored, expected] : cases) {
        SCOPED_TRACE(stored.toString().toStdString());
        Store store;
        UserDefaults defaults(store.path());
        defaults.setObject(stored, "exportSource");
        PreferenceDefaults::setDefaultPreferences(defaults);
        const QVariant value = defaults.objectForKey("exportSource");
        EXPECT_EQ(value.typeId() == QMetaType::QString, expected.typeId() == QMetaType::QString);
        EXPECT_EQ(value.toString(), expected.toString());
    }
}
