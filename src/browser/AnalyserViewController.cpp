#include "browser/AnalyserViewController.h"

#include "browser/AnalyserController.h"
#include "browser/CreatePlanTable.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QVBoxLayout>

namespace
{

// The pieces of a step's line, with their colours, under this role.
constexpr int lineRole = Qt::UserRole + 1;

// Paints a step's line piece by piece in its colours.
class AnalyserLineDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem background = option;
        initStyleOption(&background, index);
        background.text.clear();
        QStyle *style = background.widget ? background.widget->style() : nullptr;
        if (style)
            style->drawControl(QStyle::CE_ItemViewItem, &background, painter, background.widget);
        const bool selected = option.state & QStyle::State_Selected;
        QRect area = option.rect.adjusted(3, 0, 0, 0);
        painter->save();
        painter->setFont(option.font);
        for (const AnalyserLinePiece &piece : index.data(lineRole).value<AnalyserLine>()) {
            painter->setPen(selected ? option.palette.highlightedText().color() : piece.color);
            painter->drawText(area, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, piece.text);
            area.setLeft(area.left() + option.fontMetrics.horizontalAdvance(piece.text));
        }
        painter->restore();
    }
};

void addSteps(const AnalyserController &controller, QStandardItem *parent, const QList<int> &path)
{
    for (int i = 0; i < controller.numberOfChildren(path); ++i) {
        const QList<int> childPath = path + QList<int>{i};
        const AnalyserLine line = controller.displayValueForStep(*controller.stepAt(childPath), false);
        auto *item = new QStandardItem(AnalyserController::plainText(line));
        item->setData(QVariant::fromValue(line), lineRole);
        item->setEditable(false);
        parent->appendRow(item);
        addSteps(controller, item, childPath);
    }
}

} // namespace

AnalyserViewController::AnalyserViewController()
    : outlineView_(new QTreeView), model_(new QStandardItemModel(this))
{
    auto *view = new QWidget;
    view->setObjectName(QStringLiteral("Analyser"));
    setView(view);
    auto *layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(outlineView_);
    outlineView_->setModel(model_);
    outlineView_->setHeaderHidden(true);
    outlineView_->setItemDelegate(new AnalyserLineDelegate(outlineView_));
    outlineView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    outlineView_->setUniformRowHeights(true);
    outlineView_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    outlineView_->header()->setStretchLastSection(false);
    outlineView_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

AnalyserViewController::~AnalyserViewController() = default;

void AnalyserViewController::setAnalyserController(AnalyserController *controller)
{
    if (controller == analyserController_)
        return;
    analyserController_ = controller;
    reload();
}

void AnalyserViewController::analyserReset()
{
    reload();
}

void AnalyserViewController::reload()
{
    model_->clear();
    if (!analyserController_ || !analyserController_->analysisInfo())
        return;
    const AnalyserLine line =
        analyserController_->displayValueForStep(*analyserController_->analysisInfo(), true);
    auto *root = new QStandardItem(AnalyserController::plainText(line));
    root->setData(QVariant::fromValue(line), lineRole);
    root->setEditable(false);
    model_->appendRow(root);
    addSteps(*analyserController_, root, {});
    outlineView_->expandAll();
    outlineView_->resizeColumnToContents(0);
}

namespace
{
const QString visibleRectKey = QStringLiteral("AnalyserViewController.visibleRect");
const QString rootExpandedKey = QStringLiteral("AnalyserViewController.rootExpanded");
} // namespace

void AnalyserViewController::encodeInferfaceState(QVariantMap &archive) const
{
    const QRect visible(
        QPoint(outlineView_->horizontalScrollBar()->value(), outlineView_->verticalScrollBar()->value()),
        outlineView_->viewport()->size());
    archive.insert(visibleRectKey, visible);
    const QModelIndex root = model_->index(0, 0);
    archive.insert(rootExpandedKey, root.isValid() && outlineView_->isExpanded(root));
}

void AnalyserViewController::decodeInferfaceState(const QVariantMap &archive)
{
    const QModelIndex root = model_->index(0, 0);
    if (root.isValid()) {
        if (archive.value(rootExpandedKey, true).toBool())
            outlineView_->expandRecursively(root);
        else
            outlineView_->collapseAll();
    }
    const QRect visible = archive.value(visibleRectKey).toRect();
    outlineView_->horizontalScrollBar()->setValue(visible.x());
    outlineView_->verticalScrollBar()->setValue(visible.y());
}

void AnalyserViewController::setDefaultInterfaceState()
{
    outlineView_->scrollToTop();
}

void AnalyserViewController::createPlanTable(QWidget *window)
{
    if (!analyserController_)
        return;
    if (!createPlanTable_)
        createPlanTable_ = new CreatePlanTable(window);
    QPointer<AnalyserViewController> self(this);
    createPlanTable_->runModalForWindow(window, analyserController_->serverStringForCreateTablePlan(),
                                        [self](const QString &userName, const QString &password) {
                                            if (self && self->analyserController_)
                                                self->analyserController_->createTablePlanUsername(userName,
                                                                                                   password);
                                        });
}
