#pragma once

#include "editor/QueryRecallController.h"

#include <QColor>
#include <QWidget>

#include <functional>

class QComboBox;
class LabeledTextField;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTextDocument;
class QTextEdit;
class QueryRecallTableModel;

// The query history window, one for the application: a search field, a connection filter, the statements
// with a Retain check box each, the selected statement's details below, and a button that clears the
// history. Double-clicking a statement hands its text to the application, which puts it into the front
// document's editor; a statement can be dragged out as text or as an SQL filter item.
class QueryRecallViewController : public QWidget, public QueryRecallControllerDelegate
{
public:
    using SelectedQuery = std::function<void(const QString &query)>;

    explicit QueryRecallViewController(QWidget *parent = nullptr);
    ~QueryRecallViewController() override;

    void setQueryRecallController(QueryRecallController *controller);
    void setSelectedQueryAction(SelectedQuery action) { selectedQuery_ = std::move(action); }
    // Shows the window in front.
    void orderOut();
    void loadUp();
    void queryRecallControllerUpdated() override { loadUp(); }
    void sqlEditorDefaultsUpdated();

    // The statement text of a row, its components unchanged.
    QString queryForRow(int row) const;
    // The statement coloured as the editor colours it.
    QTextDocument *colouredQuery(int row, QObject *owner) const;
    void doubleClick(int row);
    // Asks before clearing the history.
    void clear();

    QLineEdit *searchField() const { return searchField_; }
    QComboBox *connectionsPopUp() const { return connections_; }
    QTableView *tableView() const { return tableView_; }
    QPushButton *clearButton() const { return clearButton_; }
    QTextEdit *detailSql() const { return detailSql_; }
    QLabel *detailDate() const { return detailDate_; }
    LabeledTextField *detailConnection() const { return detailConnection_; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void selectionChanged();
    QString dateText(int row) const;

    QueryRecallController *controller_ = nullptr;
    QueryRecallTableModel *model_;
    QLineEdit *searchField_;
    QComboBox *connections_;
    QTableView *tableView_;
    QWidget *detailView_;
    QTextEdit *detailSql_;
    QLabel *detailDate_;
    LabeledTextField *detailConnection_;
    QPushButton *clearButton_;
    SelectedQuery selectedQuery_;
    QColor normal_, reserved_, context_, literal_, comment_;
    quint64 preferencesObserver_ = 0;
    bool loading_ = false;
};
