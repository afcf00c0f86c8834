#pragma once

#include "connection/ConnectionParameters.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>

class UserDefaults;

// The rows of the connection list: the saved connections that pass the search, grouped, with a
// header row before each group, and the selected connection. Saved order lives in the user defaults
// and every change is written back at once. A header row is a definition whose only field is its
// name (no database type). Main thread only.
class ConnectionListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { LabelColumn, NameColumn, TypeColumn, ColumnCount };
    enum Grouping { NoGrouping, ServerGrouping, DatabaseTypeGrouping, LabelGrouping, UserNameGrouping };
    // The drag payload's type: the dragged row.
    static const QString dragType;

    // Reads and writes the standard defaults when given null.
    explicit ConnectionListModel(UserDefaults *defaults = nullptr, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    Qt::DropActions supportedDropActions() const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

    const QList<ConnectionParametersPtr> &allConnections() const { return allConnections_; }
    const QList<ConnectionParametersPtr> &rows() const { return filteredConnections_; }
    ConnectionParametersPtr connectionAt(int row) const;
    bool isHeaderRow(int row) const;
    static bool isHeader(const ConnectionParameters &connection);
    int rowOf(const ConnectionParametersPtr &connection) const;
    // The connection's index in the saved list, -1 when it is not saved.
    int savedIndexOf(const ConnectionParametersPtr &connection) const;

    int grouping() const { return grouping_; }
    QString lastMatch() const { return lastMatch_; }

    ConnectionParametersPtr selectedConnection() const { return selectedConnection_; }
    int selectedRow() const { return rowOf(selectedConnection_); }
    // Selects the connection when it is a row (any other value clears the selection) and tells
    // the view through selectionRequested.
    void setSelectedConnection(const ConnectionParametersPtr &connection);
    // From the view: the user selected a row (-1: none). Header rows are not selectable.
    void selectRow(int row);

    // Rebuilds the saved list from the defaults and selects the grouping and the connection
    // remembered there.
    void reloadConnections();
    void storeConnections();
    // Applies a search text. A search the user typed does nothing when its trimmed text is the
    // last one applied; the controller's own (fromController) always rebuilds. True when rebuilt.
    bool searchUpdated(const QString &text, bool fromController);
    // Regroups, keeps the selection and remembers the choice.
    void groupingUpdated(int grouping);
    static QList<ConnectionParametersPtr> groupedConnections(const QList<ConnectionParametersPtr> &rows,
                                                             int grouping);

    // Appends a connection to the saved list unless it is saved already, stores the list and
    // shows it selected.
    void saveConnection(const ConnectionParametersPtr &connection);
    void changeLabelOfSelection(quint64 label);
    void removeSelectedConnection();
    // Remembers the connection last opened.
    void rememberOpenedConnection(const ConnectionParametersPtr &connection);

    // Whether the connection in draggedRow may be dropped above row (rowCount(): at the end); it
    // may not leave its group.
    bool canMoveRow(int draggedRow, int row) const;
    // Moves it there, in the rows and in the saved list, stores the list and selects it.
    bool moveRow(int draggedRow, int row);

signals:
    // The selection changed by the model's own doing; the view shows the row (-1: none).
    void selectionRequested(int row);
    // The grouping changed by a reload.
    void groupingRestored(int grouping);

private:
    void rebuildRows(const QString &text);
    void selectAfterSearch(const ConnectionParametersPtr &remembered);
    void runSearchFromController();
    QVariant displayValue(const ConnectionParameters &connection, int column) const;
    static QString groupKey(const ConnectionParameters &connection, int grouping);

    UserDefaults *defaults_;
    QList<ConnectionParametersPtr> allConnections_;
    QList<ConnectionParametersPtr> filteredConnections_;
    ConnectionParametersPtr selectedConnection_;
    QString lastMatch_;
    int grouping_ = NoGrouping;
};
