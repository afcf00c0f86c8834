#include "connection/Vorn2UpgradeConnections.h"

#include "kit/LabelImages.h"

#include <QAbstractTableModel>
#include <QCoreApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace
{

// Colour labels of the older version, by its "tabcolor" number.
quint64 labelForOldTabColor(qint64 color)
{
    switch (color) {
    case 1:
        return 1; // red
    case 2:
        return 2; // orange
    case 3:
        return 3; // yellow
    case 4:
        return 4; // green
    case 5:
        return 7; // black
    case 6:
        return 6; // purple
    case 7:
        return 8; // gray
    default:
        return 0;
    }
}

std::optional<ConnectionParametersPtr> convertedEntry(const QVariant &value)
{
    QVariantMap entry = value.toMap();
    if (entry.contains("description"))
        entry.insert("name", entry.value("description"));
    const QString type = entry.value("databasetype").toString();
    if (!entry.contains("databasetype") || type == "SQLite")
        return std::nullopt;
    const QStringList server = entry.value("server").toString().split(':');
    if (server.size() != 2 || server[0].isEmpty() || server[1].isEmpty())
        return std::nullopt;
    entry.insert("server", server[0]);
    entry.insert("port", server[1]);
    if (entry.value("username").toString().isEmpty())
        return std::nullopt;
    entry.insert("label", labelForOldTabColor(entry.value("tabcolor", 0).toLongLong()));
    // Old auto-commit: 0 ask, 1 on, 2 off; ours: 2 ask, 1 on, 0 off.
    const qint64 oldAutoCommit = entry.value("doAutoCommit", -1).toLongLong();
    if (entry.contains("doAutoCommit") && oldAutoCommit >= 0 && oldAutoCommit <= 2)
        entry.insert("autocommit", 2 - oldAutoCommit);
    else
        entry.remove("autocommit");
    return std::make_shared<ConnectionParameters>(entry);
}

QString columnTitle(const QString &column)
{
    static const QHash<QString, const char *> titles{
        {"import", QT_TRANSLATE_NOOP("vorn2upgrade", "Import")},
        {"name", QT_TRANSLATE_NOOP("vorn2upgrade", "Name")},
        {"label", QT_TRANSLATE_NOOP("vorn2upgrade", "Label")},
        {"type", QT_TRANSLATE_NOOP("vorn2upgrade", "Type")},
        {"server", QT_TRANSLATE_NOOP("vorn2upgrade", "Server")},
        {"database", QT_TRANSLATE_NOOP("vorn2upgrade", "Database")},
        {"username", QT_TRANSLATE_NOOP("vorn2upgrade", "User")},
    };
    return QCoreApplication::translate("vorn2upgrade", titles.value(column));
}

// The table's view of the page: rows and columns as the page answers them.
class ConnectionsModel : public QAbstractTableModel
{
public:
    explicit ConnectionsModel(Vorn2UpgradeConnections *page) : page_(page) {}
    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : page_->numberOfRows();
    }
    int columnCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : int(Vorn2UpgradeConnections::columnIdentifiers().size());
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        const QString column = Vorn2UpgradeConnections::columnIdentifiers().at(index.column());
        const QVariant value = page_->objectValue(column, index.row());
        if (column == "import")
            return role == Qt::CheckStateRole ? QVariant(value.toInt() ? Qt::Checked : Qt::Unchecked)
                                              : QVariant();
        if (column == "label")
            return role == Qt::DecorationRole ? value : QVariant();
        return role == Qt::DisplayRole ? value : QVariant();
    }
    bool setData(const QModelIndex &index, const QVariant &value, int role) override
    {
        if (role != Qt::CheckStateRole || index.column() != 0)
            return false;
        page_->setObjectValue(value.toInt() == Qt::Checked ? 1 : 0, "import", index.row());
        emit dataChanged(index, index);
        return true;
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        return index.column() == 0 ? f | Qt::ItemIsUserCheckable : f;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        return columnTitle(Vorn2UpgradeConnections::columnIdentifiers().at(section));
    }
    void reset()
    {
        beginResetModel();
        endResetModel();
    }

private:
    Vorn2UpgradeConnections *page_;
};

} // namespace

const QStringList &Vorn2UpgradeConnections::columnIdentifiers()
{
    static const QStringList ids{"import", "name", "label", "type", "server", "database", "username"};
    return ids;
}

QList<ConnectionParametersPtr> Vorn2UpgradeConnections::importableConnections(const QVariantMap &vorn2prefs)
{
    QList<ConnectionParametersPtr> result;
    for (const char *key : {"connections", "managementConnections"}) {
        const QVariantList entries = vorn2prefs.value(key).toList();
        for (const QVariant &entry : entries) {
            if (const auto converted = convertedEntry(entry))
                result.append(*converted);
        }
    }
    return result;
}

Vorn2UpgradeConnections::Vorn2UpgradeConnections()
{
    auto *view = new QWidget;
    view->setObjectName("Vorn2UpgradeConnections");
    auto *model = new ConnectionsModel(this);
    model_ = model;
    tableView_ = new QTableView;
    tableView_->setModel(model);
    model->setParent(tableView_);
    tableView_->verticalHeader()->hide();
    tableView_->horizontalHeader()->setStretchLastSection(true);
    tableView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    QObject::connect(tableView_->horizontalHeader(), &QHeaderView::sectionClicked, tableView_,
                     [this](int section) { didClickTableColumn(columnIdentifiers().at(section)); });
    auto *toggle = new QPushButton(QCoreApplication::translate("vorn2upgrade", "Select All / None"));
    QObject::connect(toggle, &QPushButton::clicked, tableView_, [this] { toggleAll(); });
    auto *layout = new QVBoxLayout(view);
    layout->addWidget(tableView_, 1);
    layout->addWidget(toggle, 0, Qt::AlignLeft);
    view->resize(620, 360);
    setView(view);
}

Vorn2UpgradeConnections::~Vorn2UpgradeConnections() = default;

void Vorn2UpgradeConnections::setVorn2prefs(const QVariantMap &vorn2prefs)
{
    vorn2prefs_ = vorn2prefs;
    connections_ = importableConnections(vorn2prefs);
    connectionsOriginal_ = connections_;
    connectionsToImport_ = connections_;
    reload();
}

QVariant Vorn2UpgradeConnections::objectValue(const QString &column, int row) const
{
    if (row < 0 || row >= connections_.size())
        return {};
    const ConnectionParameters &c = *connections_[row];
    if (column == "name")
        return c.connectionName();
    if (column == "type")
        return c.databaseType();
    if (column == "server")
        return c.server();
    if (column == "database")
        return c.database();
    if (column == "username")
        return c.userName();
    if (column == "label")
        return c.label() ? QVariant(LabelImages::swatchForLabel(unsigned(c.label()))) : QVariant();
    if (column == "import")
        return connectionsToImport_.contains(connections_[row]) ? 1 : 0;
    return {};
}

void Vorn2UpgradeConnections::setObjectValue(const QVariant &value, const QString &column, int row)
{
    if (column != "import" || row < 0 || row >= connections_.size())
        return;
    const ConnectionParametersPtr &c = connections_[row];
    connectionsToImport_.removeAll(c);
    if (value.toInt() == 1)
        connectionsToImport_.append(c);
}

void Vorn2UpgradeConnections::didClickTableColumn(const QString &column)
{
    auto lowerName = [](const ConnectionParametersPtr &c) { return c->connectionName().toLower(); };
    auto byText = [&](auto key) {
        return [key, lowerName](const ConnectionParametersPtr &a, const ConnectionParametersPtr &b) {
            const QString ka = key(a), kb = key(b);
            return ka != kb ? ka < kb : lowerName(a) < lowerName(b);
        };
    };
    if (column == "import") {
        connections_ = connectionsOriginal_;
    } else if (column == "name") {
        std::stable_sort(connections_.begin(), connections_.end(),
                         [&](const auto &a, const auto &b) { return lowerName(a) < lowerName(b); });
    } else if (column == "label") {
        std::stable_sort(connections_.begin(), connections_.end(), [&](const auto &a, const auto &b) {
            return a->label() != b->label() ? a->label() < b->label() : lowerName(a) < lowerName(b);
        });
    } else if (column == "type") {
        std::stable_sort(connections_.begin(), connections_.end(),
                         byText([](const ConnectionParametersPtr &c) { return c->databaseType(); }));
    } else if (column == "server") {
        std::stable_sort(connections_.begin(), connections_.end(),
                         byText([](const ConnectionParametersPtr &c) { return c->server().toLower(); }));
    } else if (column == "database") {
        std::stable_sort(connections_.begin(), connections_.end(),
                         byText([](const ConnectionParametersPtr &c) { return c->database().toLower(); }));
    } else if (column == "username") {
        std::stable_sort(connections_.begin(), connections_.end(),
                         byText([](const ConnectionParametersPtr &c) { return c->userName().toLower(); }));
    }
    reload();
    tableView_->scrollToTop();
}

void Vorn2UpgradeConnections::toggleAll()
{
    connectionsToImport_ = selectedAllConnections() ? QList<ConnectionParametersPtr>() : connections_;
    reload();
}

void Vorn2UpgradeConnections::updateConnectionOrderToDisplayOrder()
{
    QList<ConnectionParametersPtr> ordered;
    for (const ConnectionParametersPtr &c : std::as_const(connections_)) {
        if (connectionsToImport_.contains(c))
            ordered.append(c);
    }
    connectionsToImport_ = ordered;
}

void Vorn2UpgradeConnections::reload()
{
    static_cast<ConnectionsModel *>(model_)->reset();
}
