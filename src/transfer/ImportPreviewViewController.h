#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class ImportController;
class ImportPreviewTableModel;
class ImportPreviewViewControllerDelegate;
class QButtonGroup;
class QLabel;
class QProgressBar;
class QTableView;

// The grid of the first source rows, shared by the import assistant's pages: the page that shows it
// takes its view below its own controls and sets what it shows. While the controller builds a new
// preview a spinning wait view stands in for the grid.
class ImportPreviewViewController
{
public:
    ImportPreviewViewController();
    ~ImportPreviewViewController();
    ImportPreviewViewController(const ImportPreviewViewController &) = delete;
    ImportPreviewViewController &operator=(const ImportPreviewViewController &) = delete;

    QWidget *view() const { return view_; }
    void setImportController(ImportController *controller);
    void setDelegate(ImportPreviewViewControllerDelegate *delegate) { delegate_ = delegate; }

    void setDisplayTargetColumns(bool display);
    // Offers the choice between the values as read and as converted.
    void setDisplayTargetFormatSupported(bool supported);
    // Only enabled columns get grid columns (from the next reload).
    void setHideUnusedSourceColumns(bool hide);
    void setSourceMessage(const QString &message);

    // The wait view while the controller has no preview, else the grid read again.
    void update();
    void reloadPreview();
    void selectColumn(qint64 index);

    QTableView *tablePreview() const { return table_; }
    QWidget *waitView() const { return waitView_; }
    QButtonGroup *sourceSelect() const { return sourceSelect_; }
    QLabel *message() const { return message_; }
    ImportPreviewTableModel &model() const { return *model_; }

private:
    void columnClicked(int column);

    ImportController *importController_ = nullptr;
    ImportPreviewViewControllerDelegate *delegate_ = nullptr;
    QPointer<QWidget> view_;
    QLabel *message_ = nullptr;
    QWidget *sourceSelectBox_ = nullptr;
    QButtonGroup *sourceSelect_ = nullptr;
    QTableView *table_ = nullptr;
    QWidget *waitView_ = nullptr;
    QProgressBar *waitWheel_ = nullptr;
    ImportPreviewTableModel *model_ = nullptr;
};
