#include "ddl/DDLTableColumnViewController.h"

#include "client/VornAssistantClient.h"
#include "ddl/DdlInput.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
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

QString sizeText(const QVariantMap &column)
{
    const bool size = column.contains("size");
    const bool precision = column.contains("precision");
    if (size && precision)
        return QStringLiteral("%1, %2")
            .arg(column.value("size").toLongLong())
            .arg(column.value("precision").toLongLong());
    if (size)
        return QString::number(column.value("size").toLongLong());
    if (precision)
        return QString::number(column.value("precision").toLongLong());
    return QString();
}

} // namespace

DDLTableColumnViewController::DDLTableColumnViewController()
    : columnName_(new QLineEdit), types_(new QComboBox), size_(new QLineEdit), precision_(new QLineEdit),
      notEmpty_(new QCheckBox(ddlText("Allow empty values"))),
      autoNumber_(new QCheckBox(ddlText("Auto number"))), defaultVal_(new QLineEdit),
      addButton_(new QPushButton(ddlText("Add"))), removeButton_(new QPushButton(ddlText("Remove"))),
      tableView_(new QTableWidget(0, 6))
{
    tableView_->setHorizontalHeaderLabels({ddlText("Name"), ddlText("Type"), ddlText("Size"),
                                           ddlText("Not empty"), ddlText("Auto"), ddlText("Default")});
    tableView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableView_->setSelectionMode(QAbstractItemView::SingleSelection);
    tableView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableView_->verticalHeader()->hide();
    tableView_->horizontalHeader()->setStretchLastSection(true);
    auto *form = new QFormLayout;
    form->addRow(ddlText("Name:"), columnName_);
    form->addRow(ddlText("Type:"), types_);
    auto *sizes = new QHBoxLayout;
    sizes->addWidget(size_);
    sizes->addWidget(precision_);
    size_->setPlaceholderText(ddlText("Size"));
    precision_->setPlaceholderText(ddlText("Precision"));
    form->addRow(ddlText("Size:"), sizes);
    form->addRow(ddlText("Default:"), defaultVal_);
    auto *boxes = new QHBoxLayout;
    boxes->addWidget(notEmpty_);
    boxes->addWidget(autoNumber_);
    boxes->addStretch();
    boxes->addWidget(removeButton_);
    boxes->addWidget(addButton_);
    auto *layout = new QVBoxLayout(view_);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->addLayout(form);
    layout->addLayout(boxes);
    layout->addWidget(tableView_, 1);
    for (QPushButton *button : {addButton_, removeButton_})
        button->setAutoDefault(false);
    QObject::connect(addButton_, &QPushButton::clicked, view_, [this] { add(); });
    QObject::connect(removeButton_, &QPushButton::clicked, view_, [this] { remove(); });
    for (QLineEdit *field : {columnName_, size_, precision_})
        QObject::connect(field, &QLineEdit::textChanged, view_, [this] { updateInterface(); });
    QObject::connect(types_, &QComboBox::currentIndexChanged, view_, [this] { updateInterface(); });
    QObject::connect(tableView_, &QTableWidget::itemSelectionChanged, view_, [this] { updateInterface(); });
    view_->resize(560, 400);
}

void DDLTableColumnViewController::setDdlController(DDLController *controller)
{
    DDLSubViewController::setDdlController(controller);
    const QSignalBlocker blocker(types_);
    types_->clear();
    if (const std::shared_ptr<VornAssistantClient> database = assistant()) {
        types_->addItems(database->types());
        types_->setCurrentIndex(types_->findText(database->defaultColumnType()));
        supportsAutoNumber_ = database->supportsAutoNumber();
    }
    autoNumber_->setEnabled(supportsAutoNumber_);
    updateInterface();
}

bool DDLTableColumnViewController::canAdd() const
{
    const std::optional<QString> name = DdlInput::identifier(columnName_->text());
    if (!name || name->isEmpty() || types_->currentText().isEmpty())
        return false;
    for (const QVariant &column : columns_)
        if (column.toMap().value("name").toString().compare(*name, Qt::CaseInsensitive) == 0)
            return false;
    // A type that needs a size gets one that the database can take.
    const std::shared_ptr<VornAssistantClient> database = assistant();
    const std::optional<qlonglong> size = DdlInput::integer(size_->text());
    return !(database && database->requireSize(types_->currentText()) && (!size || *size < 0));
}

void DDLTableColumnViewController::updateInterface()
{
    const std::shared_ptr<VornAssistantClient> database = assistant();
    const QString type = types_->currentText();
    size_->setEnabled(database && database->showSize(type));
    precision_->setEnabled(database && database->showPrecision(type));
    addButton_->setEnabled(canAdd());
    const int selected = tableView_->currentRow();
    removeButton_->setEnabled(selected >= 0 && selected < columns_.size() &&
                              !tableView_->selectedItems().isEmpty());

    const QSignalBlocker blocker(tableView_);
    tableView_->setRowCount(columns_.size());
    for (int row = 0; row < columns_.size(); ++row) {
        const QVariantMap column = columns_.at(row).toMap();
        const QStringList cells{column.value("name").toString(),
                                column.value("type").toString(),
                                sizeText(column),
                                column.value("empty").toInt() == 1 ? ddlText("No") : ddlText("Yes"),
                                !supportsAutoNumber_                      ? QString()
                                : column.value("autonumber").toInt() == 1 ? ddlText("Yes")
                                                                          : ddlText("No"),
                                column.value("default").toString()};
        for (int cell = 0; cell < cells.size(); ++cell)
            tableView_->setItem(row, cell, new QTableWidgetItem(cells.at(cell)));
    }
    setShared("columns", columns_);
}

void DDLTableColumnViewController::add()
{
    if (!canAdd())
        return;
    QVariantMap column{{"name", *DdlInput::identifier(columnName_->text())},
                       {"type", types_->currentText()},
                       {"empty", notEmpty_->isChecked() ? 1 : 0},
                       {"default", defaultVal_->text()}};
    if (supportsAutoNumber_)
        column.insert("autonumber", autoNumber_->isChecked() ? 1 : 0);
    // An empty or non-numeric field gives no size; "0" is a size.
    if (const std::optional<qlonglong> size = DdlInput::integer(size_->text()); size && size_->isEnabled())
        column.insert("size", *size);
    if (const std::optional<qlonglong> precision = DdlInput::integer(precision_->text());
        precision && precision_->isEnabled())
        column.insert("precision", *precision);
    columns_ << column;
    for (QLineEdit *field : {columnName_, defaultVal_, size_, precision_})
        field->clear();
    notEmpty_->setChecked(false);
    autoNumber_->setChecked(false);
    columnsChanged();
}

void DDLTableColumnViewController::remove()
{
    const int row = tableView_->currentRow();
    if (row < 0 || row >= columns_.size())
        return;
    const QString name = columns_.takeAt(row).toMap().value("name").toString();
    // A key or constraint on a column that is gone would only make the create fail.
    QStringList keys = shared("keyColumns").toStringList();
    keys.removeIf([&name](const QString &key) { return key.compare(name, Qt::CaseInsensitive) == 0; });
    if (sharedData() && sharedData()->contains("keyColumns"))
        setShared("keyColumns", keys);
    QVariantList constraints = shared("constraints").toList();
    constraints.removeIf([&name](const QVariant &constraint) {
        const QVariantMap record = constraint.toMap();
        return record.value("type").toString() != QLatin1String("check") &&
               record.value("column").toString().compare(name, Qt::CaseInsensitive) == 0;
    });
    if (sharedData() && sharedData()->contains("constraints"))
        setShared("constraints", constraints);
    tableView_->clearSelection();
    columnsChanged();
}

void DDLTableColumnViewController::columnsChanged()
{
    updateInterface();
    tellUpdated();
}

bool DDLTableColumnViewController::canContinue()
{
    return !columns_.isEmpty();
}
