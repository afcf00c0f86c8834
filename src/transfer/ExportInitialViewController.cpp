#include "transfer/ExportInitialViewController.h"

#include "transfer/ExportController.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace
{
QString tr(const char *text)
{
    return QCoreApplication::translate("export", text);
}
} // namespace

ExportInitialViewController::ExportInitialViewController()
{
    auto *view = new QWidget;
    auto *layout = new QVBoxLayout(view);
    layout->addWidget(new QLabel(tr("Select the table, view or result set to export:")));
    sources_ = new QComboBox;
    sources_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    layout->addWidget(sources_);
    layout->addStretch();
    QObject::connect(sources_, &QComboBox::activated, view, [this](int position) { sourceUpdate(position); });
    setView(view);
}

void ExportInitialViewController::updateInterface()
{
    const QSignalBlocker blocker(sources_);
    sources_->clear();
    sources_->addItem(tr("Select data source to export"));
    sources_->insertSeparator(1);
    const bool resultset = exportController_->supportsExportCurrentResult();
    const int first = resultset ? 4 : 2;
    if (resultset) {
        sources_->addItem(tr("Export active resultset"));
        sources_->insertSeparator(3);
    }
    const QList<BrowserElementPtr> elements = exportController_->supportedExportBrowserElements();
    for (const BrowserElementPtr &element : elements)
        sources_->addItem(element->name());

    int selected = resultset && exportController_->selectCurrentResultset() ? 2 : 0;
    if (const BrowserElementPtr chosen = exportController_->selectedBrowserElement()) {
        for (qsizetype i = 0; i < elements.size(); ++i) {
            if (elements[i]->isSameDatabaseElement(*chosen))
                selected = first + int(i);
        }
    }
    sources_->setCurrentIndex(selected);
}

void ExportInitialViewController::sourceUpdate(int position)
{
    const bool resultset = exportController_->supportsExportCurrentResult();
    const int first = resultset ? 4 : 2;
    const QList<BrowserElementPtr> elements = exportController_->supportedExportBrowserElements();
    if (resultset && position == 2) {
        exportController_->setSelectCurrentResultset(true);
    } else if (position >= first && position - first < elements.size()) {
        exportController_->setSelectCurrentResultset(false);
        exportController_->setSelectedBrowserElement(elements[position - first]);
    } else {
        exportController_->setSelectCurrentResultset(false);
        exportController_->setSelectedBrowserElement(nullptr);
    }
    changed();
}

bool ExportInitialViewController::canContinue() const
{
    return exportController_->selectedBrowserElement() || exportController_->selectCurrentResultset();
}
