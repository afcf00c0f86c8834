#include "ddl/DDLProcedureParameterViewController.h"

#include "client/VornAssistantClient.h"
#include "ddl/DDLController.h"
#include "ddl/DdlInput.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace
{

QString ddlText(const char *text)
{
    return QCoreApplication::translate("ddl", text);
}

const char *const columnKeys[] = {"name", "usage", "type", "size"};

} // namespace

DDLProcedureParameterViewController::DDLProcedureParameterViewController()
    : description_(new QLabel), name_(new QLineEdit), usageLabel_(new QLabel(ddlText("Usage:"))),
      usage_(new QComboBox), type_(new QComboBox), sizeLabel_(new QLabel(ddlText("Size:"))),
      size_(new QLineEdit), add_(new QPushButton(ddlText("Add"))),
      remove_(new QPushButton(ddlText("Remove"))), tableview_(new QTableWidget(0, 4))
{
    description_->setWordWrap(true);
    usage_->addItems({QStringLiteral("IN"), QStringLiteral("OUT"), QStringLiteral("INOUT")});
    tableview_->setHorizontalHeaderLabels(
        {ddlText("Name"), ddlText("Usage"), ddlText("Type"), ddlText("Size")});
    tableview_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableview_->setSelectionMode(QAbstractItemView::SingleSelection);
    tableview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableview_->verticalHeader()->hide();
    tableview_->horizontalHeader()->setStretchLastSection(true);
    auto *form = new QFormLayout;
    form->addRow(ddlText("Name:"), name_);
    form->addRow(usageLabel_, usage_);
    form->addRow(ddlText("Type:"), type_);
    form->addRow(sizeLabel_, size_);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *button : {remove_, add_}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    auto *layout = new QVBoxLayout(view_);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->addWidget(description_);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(tableview_, 1);
    QObject::connect(add_, &QPushButton::clicked, view_, [this] { add(); });
    QObject::connect(remove_, &QPushButton::clicked, view_, [this] { remove(); });
    for (QLineEdit *field : {name_, size_})
        QObject::connect(field, &QLineEdit::textChanged, view_, [this] { updateInterface(); });
    QObject::connect(type_, &QComboBox::currentIndexChanged, view_, [this] { updateInterface(); });
    QObject::connect(tableview_, &QTableWidget::itemSelectionChanged, view_, [this] { updateInterface(); });
    view_->resize(520, 380);
}

void DDLProcedureParameterViewController::setDdlController(DDLController *controller)
{
    DDLSubViewController::setDdlController(controller);
    parameters_.clear();
    const QSignalBlocker blocker(type_);
    type_->clear();
    if (const std::shared_ptr<VornAssistantClient> database = assistant()) {
        type_->addItems(database->types());
        type_->setCurrentIndex(type_->findText(database->defaultColumnType()));
    }
    updateInterface();
}

bool DDLProcedureParameterViewController::hasParameterWithName(const QString &name) const
{
    for (const QVariant &parameter : parameters_)
        if (parameter.toMap().value("name").toString().compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool DDLProcedureParameterViewController::canAdd() const
{
    const std::optional<QString> name = DdlInput::identifier(name_->text());
    if (!name || name->isEmpty() || hasParameterWithName(*name))
        return false;
    const bool sizes = ddlController() && ddlController()->dialect().requiresSizeForProcedureParameters();
    const std::shared_ptr<VornAssistantClient> database = assistant();
    // A size the type needs is a whole number; "0" counts, an empty field does not.
    return !(sizes && database && database->requireSize(type_->currentText()) &&
             !DdlInput::integer(size_->text()));
}

void DDLProcedureParameterViewController::updateInterface()
{
    const QString type = objectType();
    const QString kind = type == QLatin1String("FUNCTION") ? ddlText("Function") : ddlText("Procedure");
    description_->setText(
        ddlText("Enter a name, usage and type of a new parameter and click 'Add' to add it to "
                "this %1.\nSelect a parameter below and click 'Remove' to remove it from the "
                "%1.")
            .arg(kind));
    const bool function = type == QLatin1String("FUNCTION");
    tableview_->setColumnHidden(1, function);
    const bool usage = type == QLatin1String("PROCEDURE") && ddlController() &&
                       ddlController()->dialect().supportsUsageBeforeTypeForProcedure();
    usage_->setVisible(usage);
    usageLabel_->setVisible(usage);
    const bool sizes = ddlController() && ddlController()->dialect().requiresSizeForProcedureParameters();
    size_->setVisible(sizes);
    sizeLabel_->setVisible(sizes);
    add_->setEnabled(canAdd());
    remove_->setEnabled(tableview_->currentRow() >= 0 && !tableview_->selectedItems().isEmpty());
    setShared("parameters", parameters_);
    const QSignalBlocker blocker(tableview_);
    tableview_->setRowCount(parameters_.size());
    for (int row = 0; row < parameters_.size(); ++row) {
        const QVariantMap parameter = parameters_.at(row).toMap();
        for (int column = 0; column < 4; ++column)
            tableview_->setItem(row, column,
                                new QTableWidgetItem(parameter.value(columnKeys[column]).toString()));
    }
}

void DDLProcedureParameterViewController::add()
{
    if (!canAdd())
        return;
    parameters_ << QVariantMap{{"name", *DdlInput::identifier(name_->text())},
                               {"type", type_->currentText()},
                               {"usage", usage_->currentText()},
                               {"size", size_->isVisible() ? size_->text().trimmed() : QString()}};
    name_->clear();
    updateInterface();
    tellUpdated();
}

void DDLProcedureParameterViewController::remove()
{
    const int row = tableview_->currentRow();
    if (row < 0 || row >= parameters_.size())
        return;
    parameters_.removeAt(row);
    tableview_->clearSelection();
    updateInterface();
    tellUpdated();
}
