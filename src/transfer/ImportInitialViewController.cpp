#include "transfer/ImportInitialViewController.h"

#include "transfer/ImportController.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace
{
QString text(const char *key)
{
    return QCoreApplication::translate("importer", key);
}

// The name filters of the controller's formats, with every other file allowed too.
QStringList nameFilters(const QStringList &formats)
{
    QStringList patterns;
    for (const QString &format : formats)
        patterns << (format == QLatin1String("public.plain-text") ? QStringLiteral("*.txt")
                                                                  : QStringLiteral("*.%1").arg(format));
    return {text("Importable files (%1)").arg(patterns.join(QLatin1Char(' '))), text("All files (*)")};
}

QString askForFile(QWidget *parent, const QStringList &formats)
{
    QFileDialog dialog(parent, text("Select file to import"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(nameFilters(formats));
    dialog.setOption(QFileDialog::ReadOnly);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? dialog.selectedFiles().first()
               : QString();
}
} // namespace

ImportInitialViewController::ImportInitialViewController() : chooseFile_(askForFile)
{
    auto *view = new QWidget;
    auto *layout = new QVBoxLayout(view);
    auto *form = new QFormLayout;
    auto *file = new QHBoxLayout;
    fileName_ = new QLabel(text("No file selected"));
    fileName_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    fileButton_ = new QPushButton(text("Select File…"));
    file->addWidget(fileName_, 1);
    file->addWidget(fileButton_);
    form->addRow(text("Source file:"), file);
    tables_ = new QComboBox;
    tables_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    form->addRow(text("Target table:"), tables_);
    layout->addLayout(form);

    previewRestrict_ = new QButtonGroup(view);
    const char *choices[] = {QT_TRANSLATE_NOOP("importer", "Preview only the first rows of the file"),
                             QT_TRANSLATE_NOOP("importer", "Preview the whole file")};
    for (int row = 0; row < 2; ++row) {
        auto *choice = new QRadioButton(text(choices[row]));
        previewRestrict_->addButton(choice, row);
        layout->addWidget(choice);
    }
    layout->addStretch();

    QObject::connect(fileButton_, &QPushButton::clicked, view, [this] { selectFile(); });
    QObject::connect(tables_, &QComboBox::activated, view, [this](int index) { selectTable(index); });
    QObject::connect(previewRestrict_, &QButtonGroup::idClicked, view,
                     [this] { updatePreviewRestriction(); });
    setView(view);
}

void ImportInitialViewController::setImportController(ImportController *controller)
{
    ImportSubViewController::setImportController(controller);
    updateInterface();
}

void ImportInitialViewController::selectFile()
{
    const QString path = chooseFile_(view(), ImportController::supportedFormats());
    if (path.isEmpty())
        return;
    // Handed on after the dialog has gone.
    QMetaObject::invokeMethod(
        view(), [this, path] { updatedSelectedFileUrl(path); }, Qt::QueuedConnection);
}

void ImportInitialViewController::updatedSelectedFileUrl(const QString &path)
{
    importController_->setSelectedFilePath(path);
    fileName_->setText(QFileInfo(importController_->selectedFilePath()).fileName());
    changed();
}

void ImportInitialViewController::selectTable(int index)
{
    const QList<BrowserElementPtr> elements = importController_->supportedImportBrowserElements();
    if (index >= 1 && index - 1 < elements.size())
        importController_->setSelectedBrowserElement(elements[index - 1]);
    else
        importController_->setSelectedBrowserElement(nullptr);
    changed();
}

void ImportInitialViewController::updatePreviewRestriction()
{
    importController_->importOptions().previewRowRestricted = previewRestrict_->checkedId() == 0;
    importController_->reloadWithUpdatedImportOptions(true);
}

void ImportInitialViewController::updateInterface()
{
    const QSignalBlocker blocker(tables_);
    tables_->clear();
    tables_->addItem(text("Select table"));
    const QList<BrowserElementPtr> elements = importController_->supportedImportBrowserElements();
    const BrowserElementPtr chosen = importController_->selectedBrowserElement();
    int selected = 0;
    for (qsizetype i = 0; i < elements.size(); ++i) {
        tables_->addItem(elements[i]->name());
        if (chosen && elements[i]->isSameDatabaseElement(*chosen))
            selected = int(i) + 1;
    }
    tables_->setCurrentIndex(selected);
    const QString path = importController_->selectedFilePath();
    fileName_->setText(path.isEmpty() ? text("No file selected") : QFileInfo(path).fileName());
    previewRestrict_->button(importController_->importOptions().previewRowRestricted ? 0 : 1)
        ->setChecked(true);
}

bool ImportInitialViewController::canContinue() const
{
    return !importController_->selectedFilePath().isEmpty() && !importController_->targetTable().isEmpty();
}
