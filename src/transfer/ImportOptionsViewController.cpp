#include "transfer/ImportOptionsViewController.h"

#include "transfer/ImportController.h"
#include "transfer/ImportEmbeddedPreview.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace
{
QString text(const char *key)
{
    return QCoreApplication::translate("importer", key);
}

QButtonGroup *choices(QWidget *owner, QGroupBox *box, std::initializer_list<const char *> names)
{
    auto *layout = new QVBoxLayout(box);
    auto *group = new QButtonGroup(owner);
    int id = 0;
    for (const char *name : names) {
        auto *choice = new QRadioButton(text(name));
        group->addButton(choice, id++);
        layout->addWidget(choice);
    }
    return group;
}
} // namespace

ImportOptionsViewController::ImportOptionsViewController()
{
    auto *view = new QWidget;
    auto *layout = new QVBoxLayout(view);
    auto *executionBox = new QGroupBox(text("Execution"));
    execution_ = choices(view, executionBox,
                         {QT_TRANSLATE_NOOP("importer", "Import the data directly into the table"),
                          QT_TRANSLATE_NOOP("importer", "Generate SQL statements for the SQL Editor")});
    layout->addWidget(executionBox);
    auto *errorBox = new QGroupBox(text("Errors"));
    error_ = choices(view, errorBox,
                     {QT_TRANSLATE_NOOP("importer", "Continue after each error and collect all errors"),
                      QT_TRANSLATE_NOOP("importer", "Stop after the first error")});
    layout->addWidget(errorBox);
    for (QButtonGroup *group : {execution_, error_})
        QObject::connect(group, &QButtonGroup::idClicked, view, [this] { optionUpdated(); });
    setView(view);
}

void ImportOptionsViewController::setImportPreviewViewController(ImportPreviewViewController *preview)
{
    ImportEmbeddedPreview::showImportedColumns(preview, view());
}

void ImportOptionsViewController::updateInterface()
{
    const ImportOptions &options = importController_->importOptions();
    execution_->button(options.importToSql ? 1 : 0)->setChecked(true);
    error_->button(options.stopOnError ? 1 : 0)->setChecked(true);
    for (QAbstractButton *button : error_->buttons())
        button->setEnabled(!options.importToSql);
}

void ImportOptionsViewController::optionUpdated()
{
    ImportOptions &options = importController_->importOptions();
    options.importToSql = execution_->checkedId() == 1;
    options.stopOnError = error_->checkedId() == 1;
    changed();
    updateInterface();
}
