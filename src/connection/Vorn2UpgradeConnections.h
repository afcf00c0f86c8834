#pragma once

#include "connection/ConnectionParameters.h"
#include "connection/Vorn2UpgradePage.h"

#include <QList>
#include <QVariantMap>

class QAbstractTableModel;
class QTableView;

// The page that lists the older version's connections with a check box each; all are checked
// at first. Column identifiers: "import", "name", "label", "type", "server", "database",
// "username". Clicking a header sorts by that column ("import" restores the reading order).
class Vorn2UpgradeConnections : public Vorn2UpgradePage
{
public:
    Vorn2UpgradeConnections();
    ~Vorn2UpgradeConnections() override;

    // The connections of the old preferences ("connections", then "managementConnections") that
    // can be taken over; entries that cannot are left out.
    static QList<ConnectionParametersPtr> importableConnections(const QVariantMap &vorn2prefs);
    static const QStringList &columnIdentifiers();

    void setVorn2prefs(const QVariantMap &vorn2prefs);
    QVariantMap vorn2prefs() const { return vorn2prefs_; }
    const QList<ConnectionParametersPtr> &connections() const { return connections_; }
    const QList<ConnectionParametersPtr> &connectionsOriginal() const { return connectionsOriginal_; }
    const QList<ConnectionParametersPtr> &connectionsToImport() const { return connectionsToImport_; }

    int numberOfRows() const { return int(connections_.size()); }
    QVariant objectValue(const QString &column, int row) const;
    void setObjectValue(const QVariant &value, const QString &column, int row);
    void didClickTableColumn(const QString &column);
    void toggleAll();
    // The checked connections, in the order the table shows them.
    void updateConnectionOrderToDisplayOrder();
    bool selectedAllConnections() const { return connectionsToImport_.size() == connections_.size(); }
    QTableView *tableView() const { return tableView_; }

private:
    void reload();

    QVariantMap vorn2prefs_;
    QList<ConnectionParametersPtr> connectionsToImport_;
    QList<ConnectionParametersPtr> connectionsOriginal_;
    QList<ConnectionParametersPtr> connections_;
    QAbstractTableModel *model_;
    QTableView *tableView_;
};
