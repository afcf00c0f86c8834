#include "ddl/DDLTableConstraintViewController.h"

#include "ddl/DdlInput.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace
{

QString ddlText(const char *text)
{
    return QCoreApplication::translate("ddl", text);
}

QString describe(const QVariantMap &record)
{
    const QString type = record.value("type").toString();
    if (type == QLatin1String("check"))
        return ddlText("Check constraint: %1").arg(record.value("check").toString());
    if (type == QLatin1String("unique"))
        return ddlText("Unique: %1").arg(record.value("column").toString());
    return ddlText("%1 refers %2")
        .arg(record.value("column").toString(), record.value("refersdesc").toString());
}

} // namespace

DDLTableConstraintViewController::DDLTableConstraintViewController()
    : constraintName_(new QLineEdit), columns_(new QComboBox), refers_(new QComboBox),
      condition_(new QLineEdit), types_{new QRadioButton(ddlText("Foreign key")),
                                        new QRadioButton(ddlText("Unique")),
                                        new QRadioButton(ddlText("Check"))},
      add_(new QPushButton(ddlText("Add"))), remove_(new QPushButton(ddlText("Remove"))),
      tableView_(new QListWidget)
{
    auto *group = new QButtonGroup(view_);
    auto *typeRow = new QHBoxLayout;
    for (int row = 0; row < 3; ++row) {
        group->addButton(types_[row], row);
        typeRow->addWidget(types_[row]);
    }
    types_[Unique]->setChecked(true);
    auto *form = new QFormLayout;
    form->addRow(ddlText("Name:"), constraintName_);
    form->addRow(ddlText("Type:"), typeRow);
    form->addRow(ddlText("Column:"), columns_);
    form->addRow(ddlText("References:"), refers_);
    form->addRow(ddlText("Condition:"), condition_);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(remove_);
    buttons->addWidget(add_);
    auto *layout = new QVBoxLayout(view_);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(tableView_, 1);
    for (QPushButton *button : {add_, remove_})
        button->setAutoDefault(false);
    QObject::connect(add_, &QPushButton::clicked, view_, [this] { add(); });
    QObject::connect(remove_, &QPushButton::clicked, view_, [this] { remove(); });
    QObject::connect(group, &QButtonGroup::idClicked, view_, [this] { updateInterface(); });
    for (QLineEdit *field : {constraintName_, condition_})
        QObject::connect(field, &QLineEdit::textChanged, view_, [this] { updateControls(); });
    for (QComboBox *popUp : {columns_, refers_})
        QObject::connect(popUp, &QComboBox::currentIndexChanged, view_, [this] { updateControls(); });
    QObject::connect(tableView_, &QListWidget::itemSelectionChanged, view_, [this] { updateControls(); });
    view_->resize(560, 400);
}

void DDLTableConstraintViewController::fillReferredKeys()
{
    otherPrimaryKeys_.emplace();
    const std::shared_ptr<VornAssistantClient> database = assistant();
    if (database)
        // The new foreign key has one column, so it can refer only to a key of one column.
        for (const DdlPrimaryKey &key : DdlPrimaryKeys::wholeKeys(
                 database->primaryKeysForSchemaTable(shared("schema").toString(), QString())))
            if (key.columns.size() == 1)
                *otherPrimaryKeys_ << key;
    const QSignalBlocker blocker(refers_);
    refers_->clear();
    for (const DdlPrimaryKey &key : *otherPrimaryKeys_)
        refers_->addItem(DdlPrimaryKeys::title(key));
}

void DDLTableConstraintViewController::updateInterface()
{
    if (!otherPrimaryKeys_)
        fillReferredKeys();
    // The columns as they are now: one removed meanwhile cannot carry a constraint.
    QStringList names;
    for (const QVariant &column : shared("columns").toList())
        names << column.toMap().value("name").toString();
    {
        const QSignalBlocker blocker(columns_);
        const QString chosen = columns_->currentText();
        columns_->clear();
        columns_->addItems(names);
        columns_->setCurrentIndex(std::max(0, static_cast<int>(names.indexOf(chosen))));
    }
    const QVariantList constraints = shared("constraints").toList();
    {
        const QSignalBlocker blocker(tableView_);
        tableView_->clear();
        for (const QVariant &record : constraints)
            tableView_->addItem(record.toMap().value("name").toString() + QStringLiteral(": ") +
                                describe(record.toMap()));
    }
    const std::shared_ptr<VornAssistantClient> database = assistant();
    types_[Check]->setEnabled(database && database->constraintsSupportConditions());
    types_[ForeignKey]->setEnabled(database && database->constraintsSupportForeignKeys());
    if (selectedType() == ForeignKey && !typeEnabled(ForeignKey))
        selectType(Unique);
    updateControls();
}

void DDLTableConstraintViewController::updateControls()
{
    const Type type = selectedType();
    columns_->setEnabled(type == ForeignKey || type == Unique);
    refers_->setEnabled(type == ForeignKey);
    condition_->setEnabled(type == Check);
    const std::optional<QString> name = DdlInput::identifier(constraintName_->text());
    bool complete = name && !name->isEmpty();
    if (type == Unique)
        complete = complete && columns_->currentIndex() >= 0;
    else if (type == ForeignKey)
        complete = complete && columns_->currentIndex() >= 0 && refers_->currentIndex() >= 0;
    else
        complete = complete && !condition_->text().trimmed().isEmpty();
    add_->setEnabled(complete);
    remove_->setEnabled(tableView_->currentRow() >= 0 && !tableView_->selectedItems().isEmpty());
}

void DDLTableConstraintViewController::add()
{
    updateControls();
    if (!add_->isEnabled())
        return;
    QVariantMap record{{"name", *DdlInput::identifier(constraintName_->text())}};
    switch (selectedType()) {
    case ForeignKey: {
        const DdlPrimaryKey &key = otherPrimaryKeys_->at(refers_->currentIndex());
        record.insert("type", "refers");
        record.insert("column", columns_->currentText());
        record.insert(
            "other",
            QVariantMap{{"schema", key.schema}, {"table", key.table}, {"column", key.columns.first()}});
        record.insert("refersdesc", QStringLiteral("%1 (%2)").arg(key.table, key.columns.first()));
        break;
    }
    case Unique:
        record.insert("type", "unique");
        record.insert("column", columns_->currentText());
        break;
    case Check:
        record.insert("type", "check");
        record.insert("check", condition_->text());
        break;
    }
    QVariantList constraints = shared("constraints").toList();
    constraints << record;
    setShared("constraints", constraints);
    constraintName_->clear();
    condition_->clear();
    updateInterface();
    tellUpdated();
}

void DDLTableConstraintViewController::remove()
{
    QVariantList constraints = shared("constraints").toList();
    const int row = tableView_->currentRow();
    if (row < 0 || row >= constraints.size())
        return;
    constraints.removeAt(row);
    setShared("constraints", constraints);
    updateInterface();
    tellUpdated();
}

void DDLTableConstraintViewController::selectType(Type type)
{
    types_[type]->setChecked(true);
    updateControls();
}

DDLTableConstraintViewController::Type DDLTableConstraintViewController::selectedType() const
{
    for (int row = 0; row < 3; ++row)
        if (types_[row]->isChecked())
            return static_cast<Type>(row);
    return Unique;
}

bool DDLTableConstraintViewController::typeEnabled(Type type) const
{
    return types_[type]->isEnabled();
}
