#pragma once

#include "transfer/ImportPreviewViewControllerDelegate.h"
#include "transfer/ImportSubViewController.h"

#include <QPointer>

class ImportColumnMappingTableModel;
class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

// Which source columns go into which table columns, and how each column's values are read (type and
// format). Sequence columns fill a table column from a database sequence.
class ImportColumnMappingViewController : public ImportSubViewController,
                                          public ImportPreviewViewControllerDelegate
{
public:
    ImportColumnMappingViewController();
    ~ImportColumnMappingViewController() override;

    void setImportController(ImportController *controller) override;
    void setImportPreviewViewController(ImportPreviewViewController *preview) override;
    void updateInterface() override;
    // A preview row exists; some column is on; every column that is on has a target of its own whose
    // type is text or the column's type.
    bool canContinue() const override;

    qint64 firstEnabledMapForColumn(const QString &target) const;
    void importPreviewViewControllerSelectedColumn(qint64 index) override;
    void changeMapping(int index);
    void changeType(int item);
    void changeFormat(int item);
    void customFormatChanged(const QString &format);
    void autoDetectColumn();
    // Opens the sheet that picks a sequence and the table column it fills.
    void useSequence();
    void addSequenceColumn(const QString &sequence, const QString &target);
    void removeSequence();

    QTableView *tableview() const { return table_; }
    ImportColumnMappingTableModel &model() const { return *model_; }
    QComboBox *targetColumn() const { return targetColumn_; }
    QComboBox *sourceType() const { return sourceType_; }
    QComboBox *sourceFormat() const { return sourceFormat_; }
    QLineEdit *sourceCustomFormat() const { return sourceCustomFormat_; }
    QPushButton *useSequenceButton() const { return useSequence_; }
    QPushButton *removeSequenceButton() const { return removeSequence_; }
    QDialog *useSequenceWindow() const { return sequenceWindow_; }
    QComboBox *useSequenceSequences() const { return sequenceSequences_; }
    QComboBox *useSequenceColumns() const { return sequenceColumns_; }

private:
    int selectedRow() const;
    // The position of the selected row's column in import_columns, or -1.
    qsizetype selectedImportColumn() const;
    void selectRow(int row);

    ImportPreviewViewController *preview_ = nullptr;
    ImportColumnMappingTableModel *model_ = nullptr;
    QTableView *table_ = nullptr;
    QLabel *sourceColumn_ = nullptr;
    QComboBox *targetColumn_ = nullptr;
    QComboBox *sourceType_ = nullptr;
    QLabel *sourceFormatLabel_ = nullptr;
    QComboBox *sourceFormat_ = nullptr;
    QLabel *sourceCustomFormatLabel_ = nullptr;
    QLineEdit *sourceCustomFormat_ = nullptr;
    QPushButton *autoDetect_ = nullptr;
    QPushButton *useSequence_ = nullptr;
    QPushButton *removeSequence_ = nullptr;
    QPointer<QDialog> sequenceWindow_;
    QComboBox *sequenceSequences_ = nullptr;
    QComboBox *sequenceColumns_ = nullptr;
    bool redrawing_ = false;
};
