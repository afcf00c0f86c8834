#pragma once

#include <QDialog>
#include <QStringList>

#include <functional>

class QLabel;
class QPushButton;
class QTableView;
class ResultsetController;

// The sheet that lists the stored filters of the shown table for renaming in place and deleting. Each
// change goes to the backend at once, by the filter's name; the list is read again after each. An empty
// new name is refused in the sheet, which says so and keeps the old name. The sheet goes once it has
// ended.
class EditedStoredFilters : public QDialog
{
    Q_OBJECT
public:
    // The model the sheet works on, asked afresh each time: null once there is none.
    using ModelAccess = std::function<ResultsetController *()>;

    explicit EditedStoredFilters(QWidget *parent = nullptr);

    // Runs on the window without blocking.
    void runModalOnWindow(QWidget *window, ModelAccess resultsetController);
    // The names as last read.
    const QStringList &names() const { return names_; }
    void reloadList();
    // Renames the filter of the row (as last read); reports whether the backend took the name.
    bool rename(int row, const QString &newName);
    // Deletes the selected filter.
    void deleteAction();
    // Commits a rename being typed, then ends the sheet.
    void closeAction();

    QTableView *dataview() const;
    QPushButton *removeButton() const { return removeButton_; }
    // Says why a name was refused; hidden otherwise.
    QLabel *notice() const { return notice_; }

private:
    int selectedRow() const;
    void updateRemoveButton();

    ModelAccess resultsetController_;
    QStringList names_;
    class NamesModel;
    NamesModel *namesModel_;
    class CommittingTableView;
    CommittingTableView *dataview_;
    QPushButton *removeButton_;
    QLabel *notice_;
};
