#include "ddl/DDLTableKeyViewController.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

DDLTableKeyViewController::DDLTableKeyViewController()
    : tableView_(new QListWidget),
      dontdefine_(new QCheckBox(QCoreApplication::translate("ddl", "Don't define a primary key")))
{
    auto *description = new QLabel(
        QCoreApplication::translate("ddl", "Check the columns that form the table's primary key."));
    description->setWordWrap(true);
    auto *layout = new QVBoxLayout(view_);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->addWidget(description);
    layout->addWidget(tableView_, 1);
    layout->addWidget(dontdefine_);
    QObject::connect(tableView_, &QListWidget::itemChanged, view_, [this](QListWidgetItem *item) {
        setKeyColumn(item->text(), item->checkState() == Qt::Checked);
    });
    QObject::connect(dontdefine_, &QCheckBox::clicked, view_,
                     [this](bool checked) { setDontDefine(checked); });
    view_->resize(480, 320);
}

void DDLTableKeyViewController::setKeyColumn(const QString &column, bool inKey)
{
    keyColumns_.removeAll(column);
    if (inKey)
        keyColumns_ << column;
    setShared("keyColumns", keyColumns_);
    tellUpdated();
}

void DDLTableKeyViewController::setDontDefine(bool skip)
{
    if (skip) {
        setShared("skipKey", true);
        keyColumns_.clear();
        setShared("keyColumns", keyColumns_);
    } else {
        removeShared("skipKey");
    }
    updateInterface();
    tellUpdated();
}

void DDLTableKeyViewController::updateInterface()
{
    QStringList names;
    for (const QVariant &column : shared("columns").toList())
        names << column.toMap().value("name").toString();
    // The column page may have removed key columns meanwhile.
    if (sharedData() && sharedData()->contains("keyColumns"))
        keyColumns_ = shared("keyColumns").toStringList();
    keyColumns_.removeIf([&names](const QString &key) { return !names.contains(key, Qt::CaseInsensitive); });
    setShared("keyColumns", keyColumns_);
    const bool skip = shared("skipKey").toBool();
    dontdefine_->setChecked(skip);
    const QSignalBlocker blocker(tableView_);
    tableView_->clear();
    for (const QString &name : names) {
        auto *item = new QListWidgetItem(name, tableView_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(keyColumns_.contains(name) ? Qt::Checked : Qt::Unchecked);
    }
    tableView_->setEnabled(!skip);
}

bool DDLTableKeyViewController::canContinue()
{
    // The shared list: the column page may have taken key columns away since this page showed.
    return shared("skipKey").toBool() || !shared("keyColumns").toStringList().isEmpty();
}
