#include "ddl/DDLIndexColumnsViewController.h"

#include "client/VornAssistantClient.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

namespace
{

QString ddlText(const char *text)
{
    return QCoreApplication::translate("ddl", text);
}

} // namespace

DDLIndexColumnsViewController::DDLIndexColumnsViewController()
    : available_(new QListWidget), used_(new QTableWidget(0, 2)), expression_(new QLineEdit),
      addAsc_(new QPushButton(ddlText("Add ascending"))),
      addDesc_(new QPushButton(ddlText("Add descending"))), remove_(new QPushButton(ddlText("Remove"))),
      addExpression_(new QPushButton(ddlText("Add expression")))
{
    used_->setHorizontalHeaderLabels({ddlText("Column"), ddlText("Direction")});
    used_->setSelectionBehavior(QAbstractItemView::SelectRows);
    used_->setSelectionMode(QAbstractItemView::SingleSelection);
    used_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    used_->verticalHeader()->hide();
    used_->horizontalHeader()->setStretchLastSection(true);
    auto *buttons = new QVBoxLayout;
    for (QPushButton *button : {addAsc_, addDesc_, remove_}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    addExpression_->setAutoDefault(false);
    expression_->setPlaceholderText(ddlText("Expression"));
    auto *layout = new QGridLayout(view_);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->addWidget(new QLabel(ddlText("Available columns")), 0, 0);
    layout->addWidget(new QLabel(ddlText("Index columns")), 0, 2);
    layout->addWidget(available_, 1, 0);
    layout->addLayout(buttons, 1, 1);
    layout->addWidget(used_, 1, 2);
    layout->addWidget(expression_, 2, 0, 1, 2);
    layout->addWidget(addExpression_, 2, 2);
    QObject::connect(addAsc_, &QPushButton::clicked, view_, [this] { addAsc(); });
    QObject::connect(addDesc_, &QPushButton::clicked, view_, [this] { addDesc(); });
    QObject::connect(remove_, &QPushButton::clicked, view_, [this] { remove(); });
    QObject::connect(addExpression_, &QPushButton::clicked, view_, [this] { addExpression(); });
    QObject::connect(available_, &QListWidget::itemDoubleClicked, view_, [this] { addAsc(); });
    QObject::connect(used_, &QTableWidget::cellDoubleClicked, view_, [this] { remove(); });
    QObject::connect(available_, &QListWidget::itemSelectionChanged, view_, [this] { updateInterface(); });
    QObject::connect(used_, &QTableWidget::itemSelectionChanged, view_, [this] { updateInterface(); });
    QObject::connect(expression_, &QLineEdit::textChanged, view_, [this] { updateInterface(); });
    auto *shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), view_);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(shortcut, &QShortcut::activated, view_, [this] {
        if (addExpression_->isEnabled())
            addExpression();
    });
    view_->resize(560, 380);
}

void DDLIndexColumnsViewController::updateInterface()
{
    const QString table = shared("table").toString();
    if (columnsSource_ != table) {
        usedColumns_.clear();
        const std::shared_ptr<VornAssistantClient> database = assistant();
        availableColumns_ =
            database ? database->searchableColumnNamesForSchemaAndTable(shared("schema").toString(), table)
                     : QStringList();
        columnsSource_ = table;
        setShared("columns", usedColumns_);
    }
    {
        const QSignalBlocker blockAvailable(available_);
        const QSignalBlocker blockUsed(used_);
        const int availableRow = available_->currentRow();
        available_->clear();
        available_->addItems(availableColumns_);
        if (availableRow >= 0 && availableRow < available_->count())
            available_->setCurrentRow(std::min(availableRow, available_->count() - 1));
        used_->setRowCount(usedColumns_.size());
        for (int row = 0; row < usedColumns_.size(); ++row) {
            const QVariantMap entry = usedColumns_.at(row).toMap();
            used_->setItem(row, 0, new QTableWidgetItem(entry.value("name").toString()));
            used_->setItem(row, 1, new QTableWidgetItem(entry.value("direction").toString()));
        }
    }
    const bool availableChosen = available_->currentRow() >= 0 && !available_->selectedItems().isEmpty();
    addAsc_->setEnabled(availableChosen);
    addDesc_->setEnabled(availableChosen);
    remove_->setEnabled(used_->currentRow() >= 0 && !used_->selectedItems().isEmpty());
    addExpression_->setEnabled(!expression_->text().trimmed().isEmpty());
}

void DDLIndexColumnsViewController::addColumn(const QString &direction)
{
    const int row = available_->currentRow();
    if (row < 0 || row >= availableColumns_.size())
        return;
    usedColumns_ << QVariantMap{{"name", availableColumns_.takeAt(row)}, {"direction", direction}};
    changed();
}

void DDLIndexColumnsViewController::remove()
{
    const int row = used_->currentRow();
    if (row < 0 || row >= usedColumns_.size())
        return;
    const QVariantMap entry = usedColumns_.takeAt(row).toMap();
    if (entry.value("type").toString() != QLatin1String("expression"))
        availableColumns_ << entry.value("name").toString();
    used_->clearSelection();
    changed();
}

void DDLIndexColumnsViewController::addExpression()
{
    const QString text = expression_->text().trimmed();
    if (text.isEmpty())
        return;
    usedColumns_ << QVariantMap{{"name", text}, {"direction", ""}, {"type", "expression"}};
    expression_->clear();
    changed();
}

void DDLIndexColumnsViewController::changed()
{
    setShared("columns", usedColumns_);
    updateInterface();
    tellUpdated();
}

bool DDLIndexColumnsViewController::canContinue()
{
    return !shared("columns").toList().isEmpty();
}
