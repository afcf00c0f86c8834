#include "connection/ConnectionListModel.h"

#include "connection/SavedConnections.h"
#include "kit/LabelImages.h"
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QIODevice>
#include <QMimeData>
#include <QSize>

#include <algorithm>
#include <map>

namespace
{

// Version of the drag payload, so that a payload of another layout is refused.
constexpr qint32 dragPayloadVersion = 1;

UserDefaults &defaultsOrStandard(UserDefaults *defaults)
{
    return defaults ? *defaults : UserDefaults::standard();
}

QString connectionText(const char *text)
{
    return QCoreApplication::translate("connection", text);
}

QString keyOrFallback(const QString &value, const char *fallback)
{
    return value.trimmed().isEmpty() ? connectionText(fallback) : value;
}

} // namespace

const QString ConnectionListModel::dragType = QStringLiteral("ConnectionViewControllerDND");

ConnectionListModel::ConnectionListModel(UserDefaults *defaults, QObject *parent)
    : QAbstractTableModel(parent), defaults_(defaults)
{
}

int ConnectionListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(filteredConnections_.size());
}

int ConnectionListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ConnectionListModel::data(const QModelIndex &index, int role) const
{
    const ConnectionParametersPtr connection = connectionAt(index.row());
    if (!connection)
        return {};
    const bool header = isHeader(*connection);
    switch (role) {
    case Qt::DisplayRole:
        if (header)
            return index.column() == LabelColumn ? QVariant(connection->connectionName()) : QVariant();
        return displayValue(*connection, index.column());
    case Qt::DecorationRole:
        if (header || index.column() != LabelColumn || connection->label() == 0)
            return {};
        return LabelImages::markForLabel(unsigned(connection->label()));
    case Qt::SizeHintRole:
        return QSize(-1, header ? 19 : 17);
    default:
        return {};
    }
}

QVariant ConnectionListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    if (section == NameColumn)
        return connectionText("Name");
    if (section == TypeColumn)
        return connectionText("Type");
    return QString();
}

QVariant ConnectionListModel::displayValue(const ConnectionParameters &connection, int column) const
{
    if (column == NameColumn)
        return connection.connectionName();
    if (column == TypeColumn)
        return connection.databaseType();
    return QString();
}

Qt::ItemFlags ConnectionListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    if (isHeaderRow(index.row()))
        return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

Qt::DropActions ConnectionListModel::supportedDropActions() const
{
    return Qt::MoveAction;
}

QStringList ConnectionListModel::mimeTypes() const
{
    return {dragType};
}

QMimeData *ConnectionListModel::mimeData(const QModelIndexList &indexes) const
{
    if (indexes.isEmpty() || isHeaderRow(indexes.first().row()))
        return nullptr;
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out << dragPayloadVersion << qint32(indexes.first().row());
    auto *mime = new QMimeData;
    mime->setData(dragType, payload);
    return mime;
}

namespace
{

// The dragged row of a payload; -1 when it is not one of ours.
int draggedRowOf(const QMimeData *data)
{
    if (!data || !data->hasFormat(ConnectionListModel::dragType))
        return -1;
    QDataStream in(data->data(ConnectionListModel::dragType));
    qint32 version = 0;
    qint32 row = -1;
    in >> version >> row;
    return in.status() == QDataStream::Ok && version == dragPayloadVersion ? row : -1;
}

} // namespace

bool ConnectionListModel::canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int,
                                          const QModelIndex &parent) const
{
    // A drop onto a row comes with that row as parent: only drops between rows move.
    if (action != Qt::MoveAction || parent.isValid())
        return false;
    return canMoveRow(draggedRowOf(data), row < 0 ? rowCount() : row);
}

bool ConnectionListModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                                       const QModelIndex &parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    return moveRow(draggedRowOf(data), row < 0 ? rowCount() : row);
}

ConnectionParametersPtr ConnectionListModel::connectionAt(int row) const
{
    return row >= 0 && row < filteredConnections_.size() ? filteredConnections_.at(row) : nullptr;
}

bool ConnectionListModel::isHeaderRow(int row) const
{
    const ConnectionParametersPtr connection = connectionAt(row);
    return connection && isHeader(*connection);
}

bool ConnectionListModel::isHeader(const ConnectionParameters &connection)
{
    return connection.databaseType().isNull();
}

int ConnectionListModel::rowOf(const ConnectionParametersPtr &connection) const
{
    return connection ? int(filteredConnections_.indexOf(connection)) : -1;
}

int ConnectionListModel::savedIndexOf(const ConnectionParametersPtr &connection) const
{
    return connection ? int(allConnections_.indexOf(connection)) : -1;
}

void ConnectionListModel::setSelectedConnection(const ConnectionParametersPtr &connection)
{
    const int row = rowOf(connection);
    selectedConnection_ = row >= 0 && !isHeaderRow(row) ? connection : nullptr;
    emit selectionRequested(selectedConnection_ ? row : -1);
}

void ConnectionListModel::selectRow(int row)
{
    selectedConnection_ = isHeaderRow(row) ? nullptr : connectionAt(row);
}

void ConnectionListModel::reloadConnections()
{
    UserDefaults &defaults = defaultsOrStandard(defaults_);
    allConnections_ = SavedConnections::allConnections(&defaults);
    selectedConnection_ = nullptr;
    if (defaults.contains(SavedConnections::lastSelectedConnectionGroupingKey)) {
        const qint64 tag = defaults.integerForKey(SavedConnections::lastSelectedConnectionGroupingKey);
        if (tag >= NoGrouping && tag <= UserNameGrouping) {
            grouping_ = int(tag);
            emit groupingRestored(grouping_);
        }
    }
    lastMatch_.clear();
    runSearchFromController();
    if (defaults.contains(SavedConnections::lastSelectedConnectionKey)) {
        const qint64 index = defaults.integerForKey(SavedConnections::lastSelectedConnectionKey);
        if (index >= 0 && index < allConnections_.size() && rowOf(allConnections_.at(index)) >= 0)
            setSelectedConnection(allConnections_.at(index));
    }
}

void ConnectionListModel::storeConnections()
{
    QVariantList dictionaries;
    for (const ConnectionParametersPtr &connection : std::as_const(allConnections_))
        dictionaries.append(connection->dictionary());
    UserDefaults &defaults = defaultsOrStandard(defaults_);
    defaults.setObject(dictionaries, SavedConnections::allConnectionsKey);
    defaults.synchronize();
}

bool ConnectionListModel::searchUpdated(const QString &text, bool fromController)
{
    const QString match = text.trimmed();
    if (!fromController && match == lastMatch_)
        return false;
    lastMatch_ = match;
    const ConnectionParametersPtr remembered = selectedConnection_;
    selectedConnection_ = nullptr;
    emit selectionRequested(-1);
    rebuildRows(match);
    selectAfterSearch(remembered);
    return true;
}

void ConnectionListModel::rebuildRows(const QString &text)
{
    QStringList words;
    for (const QString &word : text.split(' '))
        if (!word.trimmed().isEmpty())
            words.append(word.trimmed().toLower());
    QList<ConnectionParametersPtr> passing;
    for (const ConnectionParametersPtr &connection : std::as_const(allConnections_)) {
        const QString searchString = connection->searchString();
        const bool passes = std::all_of(words.cbegin(), words.cend(),
                                        [&](const QString &word) { return searchString.contains(word); });
        if (passes)
            passing.append(connection);
    }
    beginResetModel();
    filteredConnections_ = groupedConnections(passing, grouping_);
    endResetModel();
}

void ConnectionListModel::selectAfterSearch(const ConnectionParametersPtr &remembered)
{
    if (remembered && rowOf(remembered) >= 0) {
        setSelectedConnection(remembered);
        return;
    }
    // Row 0 and then row 1: in a grouped list row 0 is a header and cannot be selected.
    if (rowCount() >= 2)
        setSelectedConnection(filteredConnections_.at(1));
    else if (rowCount() == 1)
        setSelectedConnection(filteredConnections_.at(0));
}

void ConnectionListModel::runSearchFromController()
{
    searchUpdated(lastMatch_, true);
}

void ConnectionListModel::groupingUpdated(int grouping)
{
    const ConnectionParametersPtr remembered = selectedConnection_;
    grouping_ = grouping;
    runSearchFromController();
    setSelectedConnection(remembered);
    UserDefaults &defaults = defaultsOrStandard(defaults_);
    defaults.setObject(qint64(grouping), SavedConnections::lastSelectedConnectionGroupingKey);
    defaults.synchronize();
}

QString ConnectionListModel::groupKey(const ConnectionParameters &connection, int grouping)
{
    switch (grouping) {
    case ServerGrouping:
        return keyOrFallback(connection.server(), " No server");
    case DatabaseTypeGrouping:
        return connection.databaseType().isNull() ? connectionText(" No database type")
                                                  : connection.databaseType();
    case LabelGrouping:
        return connection.label() >= 1 && connection.label() <= 9
                   ? ConnectionParameters::labelName(connection.label())
                   : connectionText(" No label");
    default:
        return keyOrFallback(connection.userName(), " No username");
    }
}

QList<ConnectionParametersPtr>
ConnectionListModel::groupedConnections(const QList<ConnectionParametersPtr> &rows, int grouping)
{
    if (grouping == NoGrouping)
        return rows;
    // QString's operator< is the literal, case-sensitive comparison of UTF-16 code units.
    std::map<QString, QList<ConnectionParametersPtr>> groups;
    for (const ConnectionParametersPtr &connection : rows) {
        const QString key = groupKey(*connection, grouping);
        auto &group = groups[key];
        if (group.isEmpty()) {
            auto header = std::make_shared<ConnectionParameters>();
            header->setConnectionName(key);
            group.append(header);
        }
        group.append(connection);
    }
    QList<ConnectionParametersPtr> grouped;
    for (const auto &[key, group] : groups)
        grouped.append(group);
    return grouped;
}

void ConnectionListModel::saveConnection(const ConnectionParametersPtr &connection)
{
    if (savedIndexOf(connection) < 0)
        allConnections_.append(connection);
    storeConnections();
    runSearchFromController();
    setSelectedConnection(connection);
}

void ConnectionListModel::changeLabelOfSelection(quint64 label)
{
    const ConnectionParametersPtr connection = selectedConnection_;
    if (!connection)
        return;
    connection->setLabel(label);
    storeConnections();
    runSearchFromController();
    setSelectedConnection(connection);
}

void ConnectionListModel::removeSelectedConnection()
{
    const ConnectionParametersPtr connection = selectedConnection_;
    if (!connection)
        return;
    filteredConnections_.removeAll(connection);
    allConnections_.removeAll(connection);
    selectedConnection_ = nullptr;
    storeConnections();
    runSearchFromController();
}

void ConnectionListModel::rememberOpenedConnection(const ConnectionParametersPtr &connection)
{
    const int index = savedIndexOf(connection);
    if (index < 0)
        return;
    UserDefaults &defaults = defaultsOrStandard(defaults_);
    defaults.setObject(qint64(index), SavedConnections::lastSelectedConnectionKey);
    defaults.synchronize();
}

bool ConnectionListModel::canMoveRow(int draggedRow, int row) const
{
    if (draggedRow < 0 || draggedRow >= rowCount() || isHeaderRow(draggedRow) || row < 0 || row > rowCount())
        return false;
    // Every row from the smaller of the two to just below the larger must be a connection: the
    // connection stays within its group.
    for (int r = std::min(draggedRow, row); r < std::max(draggedRow, row); ++r) {
        if (isHeaderRow(r))
            return false;
    }
    return true;
}

bool ConnectionListModel::moveRow(int draggedRow, int row)
{
    if (!canMoveRow(draggedRow, row))
        return false;
    const ConnectionParametersPtr moved = filteredConnections_.at(draggedRow);
    ConnectionParametersPtr anchor;
    bool after = false;
    if (row >= rowCount()) {
        anchor = filteredConnections_.last();
        after = true;
    } else if (!isHeaderRow(row)) {
        anchor = filteredConnections_.at(row);
    } else {
        anchor = filteredConnections_.at(row - 1);
        after = true;
    }
    if (anchor != moved) {
        const auto moveNextTo = [&](QList<ConnectionParametersPtr> &list) {
            list.removeAll(moved);
            const qsizetype at = list.indexOf(anchor);
            list.insert(after ? at + 1 : at, moved);
        };
        beginResetModel();
        moveNextTo(filteredConnections_);
        moveNextTo(allConnections_);
        endResetModel();
        storeConnections();
    }
    setSelectedConnection(moved);
    return true;
}
