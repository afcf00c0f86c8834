// Large objects and the values the editors insert: binary values to and from files, character large
// objects and long texts, the current date and time, and sequence values.
#include "resultset/ResultsetController.h"

#include "client/VornBrowserClient.h"
#include "client/VornResultsetMetaData.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"
#include "resultset/EditorDateText.h"
#include "status/StatusManager.h"

#include <QCoreApplication>
#include <QDateTime>

#include <limits>

namespace
{
QString text(const char *key)
{
    return QCoreApplication::translate("resultset", key);
}

// Type names of character large objects, as the result's columns name them.
const QStringList characterObjectTypes{"CLOB", "NCLOB",      "LONGVARCHAR", "LONG VARCHAR",
                                       "TEXT", "MEDIUMTEXT", "LONGTEXT"};
const int largeStringLength = 1000;
const int largeStringLines = 3;

bool fitsRow(qint64 row)
{
    return row >= 1 && row <= std::numeric_limits<qint32>::max();
}
} // namespace

bool ResultsetController::columnIsBlob(const QString &columnName) const
{
    const VornResultsetPtr resultset = vornResultset();
    return resultset && !isPreloading() &&
           resultset->primaryColumnTypeForColumn(columnName) == QLatin1String("B");
}

bool ResultsetController::blobValueIsEmpty(const QString &columnName, qint64 row) const
{
    Q_ASSERT_X(row >= 1, "ResultsetController", "rowIndex must be 1 or greater");
    const VornResultsetPtr resultset = vornResultset();
    if (!resultset || isPreloading() || !fitsRow(row))
        return false;
    const std::optional<VornRow> fetched = resultset->getRow(qint32(row));
    return fetched && fetched->cell(resultset->columnIndex(columnName)).kind == VornCell::Kind::BinaryNull;
}

bool ResultsetController::isLargeString(const QString &text)
{
    return text.size() > largeStringLength || text.count(QLatin1Char('\n')) >= largeStringLines;
}

bool ResultsetController::columnIsClobOrLargeString(const QString &columnName) const
{
    const VornResultsetPtr resultset = vornResultset();
    if (!resultset)
        return false;
    for (const QVariantMap &column : resultset->resultsetMetaData().columns()) {
        if (column.value("name").toString() == columnName &&
            characterObjectTypes.contains(column.value("typeName").toString().toUpper()))
            return true;
    }
    // Otherwise the value of the row being edited decides.
    const qint32 row = resultset->editingOnRow();
    const std::optional<VornRow> fetched = row >= 1 ? resultset->getRow(row) : std::nullopt;
    const VornCell cell = fetched ? fetched->cell(resultset->columnIndex(columnName)) : VornCell{};
    switch (cell.kind) {
    case VornCell::Kind::CharacterLob:
    case VornCell::Kind::CharacterLobNull:
        return true;
    case VornCell::Kind::Text:
        return isLargeString(cell.string());
    default:
        return false;
    }
}

bool ResultsetController::reportBlobOutcome(const char *title, const char *sentence)
{
    const BackendOutcome outcome = vornRoot()->lastOutcome();
    if (!outcome && statusManager())
        statusManager()->runErrorWithTitle(
            text(title), QStringLiteral("%1\n\n%2").arg(text(sentence), outcome.errorMessage));
    forgetReadRow();
    return outcome.successful;
}

bool ResultsetController::loadBlob(const QString &columnName, const QString &path, qint64 row)
{
    const VornResultsetPtr resultset = vornResultset();
    if (!resultset || !fitsRow(row) ||
        !requestRootReservation(QCoreApplication::translate("activity", "Updating table")))
        return false;
    resultset->uploadBlobForColumnOnRowFrom(columnName, qint32(row), path);
    releaseRootReservation();
    return reportBlobOutcome("Error importing BLOB",
                             "There was an error importing the file into the database");
}

bool ResultsetController::saveBlob(const QString &columnName, const QString &path, qint64 row)
{
    const VornResultsetPtr resultset = vornResultset();
    if (!resultset || !fitsRow(row) ||
        !requestRootReservation(QCoreApplication::translate("activity", "Reading table")))
        return false;
    resultset->downloadBlobForColumnOnRowTo(columnName, qint32(row), path);
    releaseRootReservation();
    return reportBlobOutcome("Error exporting BLOB",
                             "There was an error exporting the file from the database");
}

bool ResultsetController::clearBlob(const QString &columnName, qint64 row)
{
    const VornResultsetPtr resultset = vornResultset();
    if (!resultset || !fitsRow(row) ||
        !requestRootReservation(QCoreApplication::translate("activity", "Updating table")))
        return false;
    resultset->clearBlobForColumnOnRow(columnName, qint32(row));
    releaseRootReservation();
    return reportBlobOutcome("Error clearing BLOB", "There was an error clearing the BLOB value");
}

QString ResultsetController::dateValue(const QString &formatted, bool roundMidnight)
{
    const qsizetype blank = formatted.indexOf(QLatin1Char(' '));
    // A pattern without a time part is a date already.
    const QString date = blank < 0 ? formatted : formatted.left(blank);
    return roundMidnight || blank < 0 ? date : QStringLiteral("%1 00:00:00.0").arg(date);
}

QString ResultsetController::dateValueForEditor() const
{
    const UserDefaults &defaults = UserDefaults::standard();
    return dateValue(timeValueForEditor(), defaults.boolForKey(PreferenceKey::timestampRoundMidnight));
}

QString ResultsetController::timeValueForEditor() const
{
    return EditorDateText::format(QDateTime::currentDateTime(),
                                  UserDefaults::standard().stringForKey(PreferenceKey::timestampDataFormat));
}

QStringList ResultsetController::sequencesForColumn(const QString &columnName,
                                                    QString *lastSequenceUsed) const
{
    if (!quickSortColumnInfo().contains(columnName))
        return {};
    const std::shared_ptr<VornBrowserClient> browser = vornRoot()->browser();
    if (!browser)
        return {};
    const QStringList sequences = browser->sequencesForColumn(columnName);
    if (!sequences.isEmpty() && lastSequenceUsed) {
        const QString last = browser->lastSequenceForColumn(columnName);
        if (!last.isNull())
            *lastSequenceUsed = last;
    }
    return sequences;
}

QString ResultsetController::sequenceValueForEditor(const QString &sequence, const QString &columnName)
{
    const std::shared_ptr<VornBrowserClient> browser = vornRoot()->browser();
    if (!browser || vornRoot()->reserved())
        return QString();
    const QString value = browser->nextValueForSequence(sequence);
    browser->storeLastSequenceForColumn(columnName, sequence);
    return value;
}
