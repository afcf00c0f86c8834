#pragma once

#include "transfer/ImportSubViewController.h"

#include <functional>

class QButtonGroup;
class QComboBox;
class QLabel;
class QPushButton;

// The first page: the source file and the target table, and whether the preview reads only the first
// rows of the file.
class ImportInitialViewController : public ImportSubViewController
{
public:
    // Asks the user for the file to import; an empty answer declines.
    using FileChooser = std::function<QString(QWidget *parent, const QStringList &formats)>;

    ImportInitialViewController();

    void setImportController(ImportController *controller) override;
    void updateInterface() override;
    // A file and a target table are both chosen.
    bool canContinue() const override;
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

    void selectFile();
    void updatedSelectedFileUrl(const QString &path);
    void selectTable(int index);
    void updatePreviewRestriction();

    QLabel *fileName() const { return fileName_; }
    QPushButton *fileButton() const { return fileButton_; }
    QComboBox *tables() const { return tables_; }
    QButtonGroup *previewRestrict() const { return previewRestrict_; }

private:
    QLabel *fileName_ = nullptr;
    QPushButton *fileButton_ = nullptr;
    QComboBox *tables_ = nullptr;
    QButtonGroup *previewRestrict_ = nullptr;
    FileChooser chooseFile_;
};
