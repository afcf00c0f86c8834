// The rules of the start-up defaults writer, checked on the file it flushes: every missing key is
// written, nothing present is replaced, the derived timestamp pattern is recomputed at every start, a
// stored export source of 0 is rewritten, and a second start changes nothing.
#include "platform/PreferenceDefaults.h"

#include "platform/Preferences.h"
#include "platform/UserDefaults.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

namespace Key = PreferenceKey;

// The keys every reader may rely on after start-up: all constants but those kept without a default.
QStringList keysWithDefaults()
{
    const QStringList keys{Key::checkForUpdatesAtStartup,
                           Key::startWithSqlEditor,
                           Key::timestampDataFormat,
                           Key::cocoaTimestampDataFormat,
                           Key::timestampRoundMidnight,
                           Key::quickFilterUseLike,
                           Key::quickFilterUseLikeMatchOnNumeric,
                           Key::resultSetScroll,
                           Key::recallCount,
                           Key::numberOfResultSetRows,
                           Key::performSyntaxColoring,
                           Key::syntaxNormalColor,
                           Key::syntaxReservedColor,
                           Key::syntaxContextColor,
                           Key::syntaxLiteralColor,
                           Key::syntaxCommentColor,
                           Key::syntaxActiveHintColor,
                           Key::syntaxFindBraces,
                           Key::syntaxAutoComplete,
                           Key::syntaxFontSize,
                           Key::export_skip_autofill,
                           Key::exportSource,
                           Key::exportIncludeHeader,
                           Key::exportCSVSeparator,
                           Key::exportDoubleQuoteColumns,
                           Key::exportToClipboard,
                           Key::exportEncoding,
                           Key::print_source,
                           Key::print_source_length,
                           Key::print_header,
                           Key::print_column_header,
                           Key::print_footer,
                           Key::print_alternaterows,
                           Key::print_trunc_query,
                           Key::alwaysShowTabbar,
                           Key::collapseSingleTab,
                           Key::selectCreatedTabs,
                           Key::showColorLabelTabs,
                           Key::showColorLabelTabsWide,
                           Key::tabTitleFormat,
                           Key::openDocumentInTab,
                           Key::timeOutWhileConnecting,
                           Key::allowBackgroundConnections,
                           Key::keepConnectionAlive,
                           Key::recycleBinSupport,
                           Key::oracleIndexHints,
                           Key::autoReconnectFromDocument,
                           Key::browser_recent_enabled,
                           Key::browser_favourite_enabled,
                           Key::browser_recent_count,
                           Key::browser_skip_favourite_keyboard_navigation,
                           Key::activity_viewer_show_inactive,
                           Key::syntaxParameterColor,
                           Key::startWithBrowserPanel,
                           Key::startWithInfoPanel,
                           Key::allowBackgroundConnectionsConnection,
                           Key::allowBackgroundConnectionsInfoInspector,
                           Key::tabDuplicateSQL};
    return keys;
}

// A preferences file of its own, read back from disk to see what the writer flushed.
struct Store {
    QTemporaryDir dir;
    QString path() const { return dir.filePath("Vorn.json"); }
    QJsonObject onDisk() const
    {
        QFile file(path());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QJsonDocument::fromJson(file.readAll()).object();
    }
};

QSet<QString> keySet(const QStringList &keys)
{
    return QSet<QString>(keys.begin(), keys.end());
}

} // namespace

TEST(PreferenceDefaults, AFreshStoreGetsExactlyTheKeysWithDefaultsFlushedToItsFile)
{
    Store store;
    UserDefaults defaults(store.path());
    PreferenceDefaults::setDefaultPreferences(defaults);

    // Read while the store is still open: the writer flushed, the destructor did not.
    const QJsonObject written = store.onDisk();
    EXPECT_EQ(keySet(written.keys()), keySet(keysWithDefaults()));
    static const QRegularExpression rgb("^#[0-9a-f]{6}$");
    for (const QString &key : written.keys()) {
        SCOPED_TRACE(key.toStdString());
        EXPECT_FALSE(written.value(key).isNull());
        if (key.endsWith("Color")) {
            EXPECT_TRUE(rgb.match(written.value(key).toString()).hasMatch()) << "a colour is #rrggbb text";
        }
    }
    EXPECT_EQ(
        written.value(Key::cocoaTimestampDataFormat).toString(),
        PreferenceDefaults::cocoaTimestampFormatFor(written.value(Key::timestampDataFormat).toString()));
}

TEST(PreferenceDefaults, PresentValuesOfAnyKindStayAndTheMissingKeysAroundThemAreWritten)
{
    const struct {
        const char *kind;
        QVariant value;
    } cases[] = {
        {"text", QString("kept")},
        {"empty text", QString()},
        {"true", true},
        {"false", false},
        {"zero", qint64(0)},
        {"integer", qint64(7)},
        {"real", 2.5},
        {"list", QVariantList{1, "a"}},
        {"dictionary", QVariantMap{{"a", 1}}},
        {"data", QByteArray("\x01\x02", 2)},
    };
    int round = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.kind);
        Store store;
        UserDefaults defaults(store.path());
        // Every other key holds the user's value (alternating per kind, so each key is both present
        // and missing across the cases). The derived key is always recomputed; a stored export
        // source of 0 is the one value that is rewritten.
        const QStringList keys = keysWithDefaults();
        const bool zero = c.value == QVariant(qint64(0));
        QStringList present;
        for (qsizetype i = round % 2; i < keys.size(); i += 2) {
            const QString &key = keys[i];
            if (key == Key::cocoaTimestampDataFormat || (key == Key::exportSource && zero))
                continue;
            defaults.setObject(c.value, key);
            present << key;
        }
        ++round;
        defaults.synchronize();
        const QJsonObject before = store.onDisk();
        ASSERT_EQ(keySet(before.keys()), keySet(present));

        PreferenceDefaults::setDefaultPreferences(defaults);
        const QJsonObject after = store.onDisk();
        EXPECT_EQ(keySet(after.keys()), keySet(keysWithDefaults()));
        for (const QString &key : present)
            EXPECT_EQ(after.value(key), before.value(key)) << key.toStdString();
    }
}

TEST(PreferenceDefaults, TheDerivedTimestampPatternFollowsTheBackendPatternAtEveryStart)
{
    const struct {
        const char *backend;
        const char *derived;
    } cases[] = {
        {"dd-MM-yyyy HH:mm:ss.S", "d-M-yyyy HH:mm:ss.S"}, {"MM/dd/yyyy HH:mm:ss.S", "M/d/yyyy HH:mm:ss.S"},
        {"yyyy-MM-dd HH:mm:ss.S", "yyyy-M-d HH:mm:ss.S"}, {"yyyy/MM/dd HH:mm:ss.S", "yyyy/MM/d HH:mm:ss.S"},
        {"yyyy.MM.dd HH:mm", "yyyy/MM/d HH:mm:ss.S"},     {"", "yyyy/MM/d HH:mm:ss.S"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.backend);
        Store store;
        UserDefaults defaults(store.path());
        PreferenceDefaults::setDefaultPreferences(defaults); // the first start
        // Changed outside the preferences window, with a derived pattern left from before.
        defaults.setObject(QString(c.backend), Key::timestampDataFormat);
        defaults.setObject("stale", Key::cocoaTimestampDataFormat);
        PreferenceDefaults::setDefaultPreferences(defaults);
        const QJsonObject written = store.onDisk();
        EXPECT_EQ(written.value(Key::timestampDataFormat).toString(), c.backend);
        EXPECT_EQ(written.value(Key::cocoaTimestampDataFormat).toString(), c.derived);
    }
}

TEST(PreferenceDefaults, AStoredExportSourceOfZeroBecomesMinusOne)
{
    const struct {
        const char *stored;
        QVariant value;
        QJsonValue expected;
    } cases[] = {
        {"integer 0", qint64(0), -1},      {"real 0", 0.0, -1}, {"2", qint64(2), 2}, {"-1", qint64(-1), -1},
        {"text \"0\"", QString("0"), "0"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stored);
        Store store;
        UserDefaults defaults(store.path());
        defaults.setObject(c.value, Key::exportSource);
        PreferenceDefaults::setDefaultPreferences(defaults);
        EXPECT_EQ(store.onDisk().value(Key::exportSource), c.expected);
    }
}

TEST(PreferenceDefaults, ASecondStartChangesNothing)
{
    const struct {
        const char *store;
        QVariantMap values;
    } cases[] = {
        {"fresh", {}},
        {"used",
         {{Key::timestampDataFormat, "MM/dd/yyyy HH:mm:ss.S"},
          {Key::cocoaTimestampDataFormat, "stale"},
          {Key::exportSource, qint64(0)},
          {Key::syntaxFontSize, qint64(14)},
          {Key::vorn2upgrade, true}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.store);
        Store store;
        UserDefaults defaults(store.path());
        for (auto it = c.values.begin(); it != c.values.end(); ++it)
            defaults.setObject(it.value(), it.key());
        PreferenceDefaults::setDefaultPreferences(defaults);
        const QJsonObject first = store.onDisk();
        ASSERT_FALSE(first.isEmpty());
        PreferenceDefaults::setDefaultPreferences(defaults);
        EXPECT_EQ(store.onDisk(), first);
    }
}
