#include "resultset/QuickFilterSearchItem.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QWidget>

QuickFilterSearchItem::QuickFilterSearchItem(const QString &name, const QString &value,
                                             const QString &selection, QObject *parent)
    : QObject(parent), name_(name), value_(value),
      selection_(selection.isNull() ? QStringLiteral("") : selection)
{
    view_ = new QWidget;
    view_->setObjectName(QStringLiteral("QuickFilterSearchItem"));
    search_ = new QLineEdit(view_);
    search_->setClearButtonEnabled(true);
    search_->setPlaceholderText(name_);
    // As wide as the label needs, and never narrower than a useful field.
    const int textWidth = search_->fontMetrics().horizontalAdvance(name_);
    QStyleOptionFrame option;
    option.initFrom(search_);
    const QSize fitted = search_->style()->sizeFromContents(
        QStyle::CT_LineEdit, &option, QSize(textWidth + 2 * 4 + 20, search_->fontMetrics().height()),
        search_);
    search_->resize(std::max(fitted.width(), int(minimumFieldWidth)), search_->sizeHint().height());
    search_->setText(selection_);
    search_->move(2, 2);
    view_->resize(search_->width() + 4, search_->height() + 4);
    connect(search_, &QLineEdit::textEdited, this, &QuickFilterSearchItem::searchFieldUpdated);
}

QuickFilterSearchItem::~QuickFilterSearchItem()
{
    delete view_;
}

void QuickFilterSearchItem::searchFieldUpdated()
{
    const QString previous = selection_;
    selection_ = search_->text();
    if (delegate_)
        delegate_->quickFilterSearchItemUpdatedSelectionFrom(previous, selection_);
}
