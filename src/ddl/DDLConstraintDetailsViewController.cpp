#include "ddl/DDLConstraintDetailsViewController.h"

#include "client/VornRootClient.h"
#include "ddl/DDLController.h"
#include "editor/SQLEditorTextStorage.h"
#include "editor/SQLTextView.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

QString ddlText(const char *text)
{
    return QCoreApplication::translate("ddl", text);
}

} // namespace

DDLConstraintDetailsViewController::DDLConstraintDetailsViewController()
    : titleMessage_(new QLabel), available_(new QListWidget), used_(new QListWidget),
      usedHeader_(new QLabel(ddlText("Constraint columns"))),
      referenceTitle_(new QLabel(ddlText("References:"))), references_(new QComboBox),
      conditionHeader_(new QLabel(ddlText("Condition"))), condition_(new SQLTextView),
      add_(new QPushButton(ddlText("Add"))), remove_(new QPushButton(ddlText("Remove")))
{
    titleMessage_->setWordWrap(true);
    auto *buttons = new QVBoxLayout;
    for (QPushButton *button : {add_, remove_}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    auto *layout = new QGridLayout(view_);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->addWidget(titleMessage_, 0, 0, 1, 3);
    layout->addWidget(new QLabel(ddlText("Available columns")), 1, 0);
    layout->addWidget(usedHeader_, 1, 2);
    layout->addWidget(conditionHeader_, 1, 2);
    layout->addWidget(available_, 2, 0);
    layout->addLayout(buttons, 2, 1);
    layout->addWidget(used_, 2, 2);
    layout->addWidget(condition_, 2, 2);
    layout->addWidget(referenceTitle_, 3, 0);
    layout->addWidget(references_, 3, 1, 1, 2);
    QObject::connect(add_, &QPushButton::clicked, view_, [this] { add(); });
    QObject::connect(remove_, &QPushButton::clicked, view_, [this] { remove(); });
    QObject::connect(available_, &QListWidget::itemDoubleClicked, view_, [this] { add(); });
    QObject::connect(used_, &QListWidget::itemDoubleClicked, view_, [this] { remove(); });
    QObject::connect(available_, &QListWidget::itemSelectionChanged, view_, [this] { updateInterface(); });
    QObject::connect(used_, &QListWidget::itemSelectionChanged, view_, [this] { updateInterface(); });
    QObject::connect(references_, &QComboBox::activated, view_,
                     [this](int index) { chooseReference(index); });
    QObject::connect(condition_, &SQLTextView::textChanged, view_, [this] {
        setShared("condition", condition_->toPlainText().trimmed());
        tellUpdated();
    });
    view_->resize(560, 380);
}

void DDLConstraintDetailsViewController::updateInterface()
{
    const QString type = shared("type").toString();
    const bool foreignKey = type == QLatin1String("FOREIGNKEY");
    const bool check = type == QLatin1String("CONDITIONAL");
    titleMessage_->setText(
        check
            ? ddlText("Below you can enter the condition for this Constraint. Use the Available columns as a "
                      "reference to the columns in this table.")
        : foreignKey
            ? ddlText("Select the columns you wish to use in the new constraint. Select the primary key "
                      "it references below.")
            : ddlText("Select the columns you wish to use in the new constraint."));
    referenceTitle_->setVisible(foreignKey);
    references_->setVisible(foreignKey);
    condition_->setVisible(check);
    conditionHeader_->setVisible(check);
    used_->setVisible(!check);
    usedHeader_->setVisible(!check);
    remove_->setVisible(!check);

    const QString table = shared("table").toString();
    if (columnsSource_ != table) {
        usedColumns_.clear();
        keys_.clear();
        const std::shared_ptr<VornAssistantClient> database = assistant();
        availableColumns_ =
            database ? database->searchableColumnNamesForSchemaAndTable(shared("schema").toString(), table)
                     : QStringList();
        if (database)
            keys_ = DdlPrimaryKeys::wholeKeys(
                database->primaryKeysForSchemaTable(shared("schema").toString(), QString()));
        columnsSource_ = table;
        setShared("columns", usedColumns_);
        if (ddlController()) {
            SQLEditorTextStorage *storage = condition_->textStorage();
            storage->setReservedWords(ddlController()->vornRoot()->reservedWords());
            storage->setContextWords(ddlController()->vornRoot()->contextWords());
        }
    }
    fillReferences();
    {
        const QSignalBlocker blockAvailable(available_);
        const QSignalBlocker blockUsed(used_);
        const int availableRow = available_->currentRow();
        available_->clear();
        available_->addItems(availableColumns_);
        if (availableRow >= 0 && available_->count() > 0)
            available_->setCurrentRow(std::min(availableRow, available_->count() - 1));
        used_->clear();
        used_->addItems(usedColumns_);
    }
    add_->setEnabled(available_->currentRow() >= 0 && !available_->selectedItems().isEmpty());
    remove_->setEnabled(used_->currentRow() >= 0 && !used_->selectedItems().isEmpty());
}

void DDLConstraintDetailsViewController::fillReferences()
{
    // A foreign key refers to a whole key with as many columns as it has itself.
    const QStringList chosen = shared("references").toStringList();
    offeredKeys_.clear();
    for (const DdlPrimaryKey &key : keys_)
        if (key.columns.size() == usedColumns_.size())
            offeredKeys_ << key;
    const QSignalBlocker blocker(references_);
    references_->clear();
    int selected = offeredKeys_.isEmpty() ? -1 : 0;
    for (int i = 0; i < offeredKeys_.size(); ++i) {
        references_->addItem(DdlPrimaryKeys::title(offeredKeys_.at(i)));
        if (QStringList{offeredKeys_.at(i).table} + offeredKeys_.at(i).columns == chosen)
            selected = i;
    }
    references_->setCurrentIndex(selected);
    if (selected < 0)
        removeShared("references");
    else
        setShared("references",
                  QStringList{offeredKeys_.at(selected).table} + offeredKeys_.at(selected).columns);
}

void DDLConstraintDetailsViewController::chooseReference(int index)
{
    if (index < 0 || index >= offeredKeys_.size())
        return;
    setShared("references", QStringList{offeredKeys_.at(index).table} + offeredKeys_.at(index).columns);
    changed();
}

void DDLConstraintDetailsViewController::add()
{
    const int row = available_->currentRow();
    if (row < 0 || row >= availableColumns_.size())
        return;
    if (shared("type").toString() == QLatin1String("CONDITIONAL")) {
        // The column is typed into the condition; it stays available.
        condition_->insertPlainText(QStringLiteral(" %1 ").arg(availableColumns_.at(row)));
        setShared("condition", condition_->toPlainText().trimmed());
    } else {
        usedColumns_ << availableColumns_.takeAt(row);
        setShared("columns", usedColumns_);
    }
    changed();
}

void DDLConstraintDetailsViewController::remove()
{
    const int row = used_->currentRow();
    if (row < 0 || row >= usedColumns_.size())
        return;
    availableColumns_ << usedColumns_.takeAt(row);
    used_->clearSelection();
    setShared("columns", usedColumns_);
    changed();
}

void DDLConstraintDetailsViewController::changed()
{
    updateInterface();
    tellUpdated();
}

bool DDLConstraintDetailsViewController::canContinue()
{
    const QString type = shared("type").toString();
    if (type == QLatin1String("UNIQUE") || type == QLatin1String("PRIMARYKEY"))
        return !usedColumns_.isEmpty();
    if (type == QLatin1String("FOREIGNKEY"))
        return !usedColumns_.isEmpty() && sharedData()->contains("references");
    if (type == QLatin1String("CONDITIONAL"))
        return !shared("condition").toString().isEmpty();
    return false;
}
