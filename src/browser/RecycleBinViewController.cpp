#include "browser/RecycleBinViewController.h"

#include "browser/RecyclebinController.h"

#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace
{

QString text(const char *key)
{
    return QCoreApplication::translate("recyclebin", key);
}

const int entryRole = Qt::UserRole;
const int imageNameRole = Qt::UserRole + 1;

// "NoError": a green mark; "Error": a red cross.
QIcon flagImage(const QString &name)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool ok = name == QLatin1String("NoError");
    painter.setBrush(ok ? QColor(0x2f, 0xa0, 0x3c) : QColor(0xd0, 0x30, 0x30));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QRectF(1, 1, 14, 14));
    painter.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (ok) {
        painter.drawPolyline(QPolygonF({QPointF(4.5, 8.5), QPointF(7, 11), QPointF(11.5, 5)}));
    } else {
        painter.drawLine(QPointF(5, 5), QPointF(11, 11));
        painter.drawLine(QPointF(11, 5), QPointF(5, 11));
    }
    return QIcon(pixmap);
}

bool isYes(const QVariantMap &entry, const char *key)
{
    return entry.value(QLatin1String(key)).toString() == QLatin1String("YES");
}

} // namespace

RecycleBinViewController::RecycleBinViewController(QObject *parent) : QObject(parent) {}

RecycleBinViewController::~RecycleBinViewController()
{
    delete window_;
}

void RecycleBinViewController::loadWindow()
{
    window_ = new QDialog;
    window_->setWindowTitle(text("Recycle bin"));
    window_->resize(640, 360);
    auto *layout = new QVBoxLayout(window_);
    dataview_ = new QTreeWidget(window_);
    dataview_->setColumnCount(int(columnIdentifiers.size()));
    dataview_->setHeaderLabels(
        {text("Object"), text("Type"), text("Removed"), text("Restore"), text("Purge")});
    dataview_->setSelectionMode(QAbstractItemView::SingleSelection);
    dataview_->setUniformRowHeights(true);
    dataview_->header()->setStretchLastSection(false);
    dataview_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < dataview_->columnCount(); ++column)
        dataview_->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    QObject::connect(dataview_, &QTreeWidget::itemSelectionChanged, this,
                     &RecycleBinViewController::updateButtons);
    layout->addWidget(dataview_);

    auto *buttons = new QHBoxLayout;
    progress_ = new QProgressBar(window_);
    progress_->setRange(0, 0); // an indicator without an end
    progress_->setTextVisible(false);
    progress_->setMaximumWidth(120);
    progress_->hide();
    restore_ = new QPushButton(text("Restore"), window_);
    purge_ = new QPushButton(text("Purge"), window_);
    purgeAll_ = new QPushButton(text("Empty"), window_);
    close_ = new QPushButton(text("Close"), window_);
    close_->setDefault(true);
    QObject::connect(restore_, &QPushButton::clicked, this, &RecycleBinViewController::restoreObject);
    QObject::connect(purge_, &QPushButton::clicked, this, &RecycleBinViewController::purgeObject);
    QObject::connect(purgeAll_, &QPushButton::clicked, this, &RecycleBinViewController::purgeAll);
    QObject::connect(close_, &QPushButton::clicked, this, &RecycleBinViewController::close);
    buttons->addWidget(progress_);
    buttons->addStretch();
    buttons->addWidget(restore_);
    buttons->addWidget(purge_);
    buttons->addWidget(purgeAll_);
    buttons->addSpacing(12);
    buttons->addWidget(close_);
    layout->addLayout(buttons);
    // An ended sheet is ordered out; it is shown again for the next request.
    QObject::connect(window_, &QDialog::finished, window_, &QDialog::hide);
}

void RecycleBinViewController::setRecyclebinController(RecyclebinController *controller)
{
    recyclebinController_ = controller;
    recyclebinUpdated();
}

void RecycleBinViewController::startupOnWindow(QWidget *window)
{
    hostWindow_ = window;
    if (!window_)
        loadWindow();
    if (recyclebinController_)
        recyclebinController_->refresh();
    recyclebinUpdated();
    window_->setParent(window, Qt::Sheet | Qt::Dialog);
    window_->setWindowModality(Qt::WindowModal);
    window_->open();
}

void RecycleBinViewController::close()
{
    if (window_)
        window_->done(QDialog::Rejected);
}

void RecycleBinViewController::recyclebinUpdated()
{
    if (!window_)
        return;
    progress_->setVisible(recyclebinController_ && recyclebinController_->busy());
    reloadOutline();
    updateButtons();
    if (!recyclebinController_)
        return;
    if (const std::optional<RecyclebinFailure> failure = recyclebinController_->takeFailure())
        showFailure(failure->title, failure->message);
}

void RecycleBinViewController::reloadOutline()
{
    dataview_->clear();
    if (recyclebinController_)
        addEntries(nullptr, nullptr);
}

void RecycleBinViewController::addEntries(QTreeWidgetItem *parent, const QVariantMap *entry)
{
    const int count = recyclebinController_->numberOfChildrenOfItem(entry);
    for (int index = 0; index < count; ++index) {
        const QVariantMap child = recyclebinController_->itemAt(index, entry);
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(dataview_);
        item->setData(0, entryRole, child);
        item->setText(0, child.value("originalName").toString());
        item->setText(1, child.value("type").toString());
        item->setText(2, child.value("dropTime").toString());
        const QString restoreImage = flagImageName(child, "canUndrop");
        const QString purgeImage = flagImageName(child, "canPurge");
        item->setIcon(3, flagImage(restoreImage));
        item->setData(3, imageNameRole, restoreImage);
        item->setIcon(4, flagImage(purgeImage));
        item->setData(4, imageNameRole, purgeImage);
        if (recyclebinController_->numberOfChildrenOfItem(&child) > 0)
            addEntries(item, &child);
    }
}

QString RecycleBinViewController::flagImageName(const QVariantMap &entry, const QString &key)
{
    return entry.value(key).toString() == QLatin1String("YES") ? QStringLiteral("NoError")
                                                               : QStringLiteral("Error");
}

QVariantMap RecycleBinViewController::entryOf(const QTreeWidgetItem *item)
{
    return item ? item->data(0, entryRole).toMap() : QVariantMap();
}

std::optional<QVariantMap> RecycleBinViewController::selectedEntry() const
{
    const QList<QTreeWidgetItem *> selected =
        dataview_ ? dataview_->selectedItems() : QList<QTreeWidgetItem *>();
    if (selected.isEmpty())
        return std::nullopt;
    return entryOf(selected.first());
}

void RecycleBinViewController::updateButtons()
{
    if (!window_)
        return;
    const bool idle = recyclebinController_ && !recyclebinController_->busy();
    purgeAll_->setEnabled(idle && recyclebinController_->numberOfChildrenOfItem(nullptr) > 0);
    const std::optional<QVariantMap> entry = idle ? selectedEntry() : std::nullopt;
    purge_->setEnabled(entry && isYes(*entry, "canPurge"));
    restore_->setEnabled(entry && isYes(*entry, "canUndrop"));
}

void RecycleBinViewController::restoreObject()
{
    const std::optional<QVariantMap> entry = selectedEntry();
    if (entry && recyclebinController_)
        recyclebinController_->restoreObject(entry->value("objectName").toString(),
                                             entry->value("type").toString());
}

void RecycleBinViewController::purgeObject()
{
    const std::optional<QVariantMap> entry = selectedEntry();
    if (!entry || !recyclebinController_)
        return;
    const QString objectName = entry->value("objectName").toString();
    const QString type = entry->value("type").toString();
    ask(text("Are you sure you want to purge %1 ?").arg(entry->value("originalName").toString()),
        text("Purging an object from the database's Recycle bin cannot be undone."), text("Purge"),
        [this, objectName, type] {
            if (recyclebinController_)
                recyclebinController_->purgeObject(objectName, type);
        });
}

void RecycleBinViewController::purgeAll()
{
    if (!recyclebinController_)
        return;
    ask(text("Are you sure you want to empty the Recycle bin ?"),
        text("Purging all object from the database's Recycle bin cannot be undone."), text("Empty bin"),
        [this] {
            if (recyclebinController_)
                recyclebinController_->purgeAll();
        });
}

void RecycleBinViewController::ask(const QString &message, const QString &informative, const QString &confirm,
                                   std::function<void()> confirmed)
{
    auto *box = new QMessageBox(QMessageBox::Warning, text("Recycle bin"), message, QMessageBox::NoButton,
                                window_ ? static_cast<QWidget *>(window_) : hostWindow_.data());
    box->setInformativeText(informative);
    QPushButton *confirmButton = box->addButton(confirm, QMessageBox::DestructiveRole);
    box->addButton(text("Cancel"), QMessageBox::RejectRole);
    box->setDefaultButton(confirmButton);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    QObject::connect(box, &QMessageBox::finished, this,
                     [box, confirmButton, confirmed = std::move(confirmed)] {
                         if (box->clickedButton() == confirmButton)
                             confirmed();
                     });
    alert_ = box;
    box->open();
}

void RecycleBinViewController::showFailure(const QString &title, const QString &message)
{
    QWidget *parent = window_ && window_->isVisible() ? static_cast<QWidget *>(window_) : hostWindow_.data();
    auto *box = new QMessageBox(QMessageBox::Critical, text("Recycle bin"), title, QMessageBox::Ok, parent);
    box->setInformativeText(message);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    alert_ = box;
    box->open();
}
