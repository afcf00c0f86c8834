#include "resultset/QuickFilterRadioItem.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QWidget>

namespace
{
QString choiceName(const QVariant &choice)
{
    return choice.toMap().value(QStringLiteral("name")).toString();
}

QString choiceValue(const QVariant &choice)
{
    return choice.toMap().value(QStringLiteral("value")).toString();
}
} // namespace

QuickFilterRadioItem::QuickFilterRadioItem(const QString &name, const QVariantList &values,
                                           const QString &selection, const QString &selectName,
                                           QObject *parent)
    : QObject(parent), name_(name), values_(values), selection_(selection), selectName_(selectName)
{
    view_ = new QWidget;
    view_->setObjectName(QStringLiteral("QuickFilterRadioItem"));
    label_ = new QLabel(name_, view_);
    QFont caption = label_->font();
    caption.setBold(true);
    label_->setFont(caption);
    matrix_ = new QWidget(view_);
    auto *rows = new QVBoxLayout(matrix_);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    group_ = new QButtonGroup(this);
    select_ = new QComboBox(view_);
    build();
    layoutControls();
    connect(group_, &QButtonGroup::idClicked, this, &QuickFilterRadioItem::updateMatrix);
    connect(select_, &QComboBox::activated, this, &QuickFilterRadioItem::updateMatrix);
}

QuickFilterRadioItem::~QuickFilterRadioItem()
{
    delete view_;
}

void QuickFilterRadioItem::build()
{
    label_->adjustSize();
    const bool withSelect = !selectName_.isNull();
    const qsizetype rowCount = withSelect ? std::min<qsizetype>(2, values_.size()) : values_.size();
    int selectedRow = 0;
    for (qsizetype row = 0; row < rowCount; ++row) {
        auto *button =
            new QRadioButton(withSelect && row == 1 ? selectName_ : choiceName(values_[row]), matrix_);
        matrix_->layout()->addWidget(button);
        group_->addButton(button, int(row));
        buttons_.append(button);
        if (choiceValue(values_[row]) == selection_)
            selectedRow = int(row);
    }
    if (withSelect) {
        select_->clear();
        int shown = -1;
        for (qsizetype i = 1; i < values_.size(); ++i) {
            select_->addItem(choiceName(values_[i]));
            if (choiceValue(values_[i]) == selection_)
                shown = int(i);
        }
        if (shown < 1) {
            select_->setEnabled(false);
            selectedRow = 0;
        } else {
            select_->setCurrentIndex(shown - 1);
            select_->setEnabled(true);
            selectedRow = 1;
        }
    }
    if (selectedRow < buttons_.size())
        buttons_[selectedRow]->setChecked(true);
    matrix_->adjustSize();
}

// The caption on top, the buttons under it, the menu indented under the second button.
void QuickFilterRadioItem::layoutControls()
{
    const bool withSelect = !selectName_.isNull();
    const QSize caption = label_->size();
    const QSize matrix = matrix_->size();
    const int selectHeight = withSelect ? select_->sizeHint().height() : 0;
    const int width = std::max(caption.width() + 4, matrix.width() + 4);
    const int height = withSelect ? caption.height() + matrix.height() + 2 + selectHeight + 6
                                  : caption.height() + matrix.height() + 6;
    view_->resize(width, height);
    label_->move(2, 2);
    matrix_->move(2, caption.height() + 4);
    select_->setVisible(withSelect);
    if (withSelect) {
        select_->adjustSize();
        select_->move(18, caption.height() + 4 + matrix.height() + 2);
    }
}

int QuickFilterRadioItem::selectedRow() const
{
    return group_->checkedId();
}

void QuickFilterRadioItem::updateMatrix()
{
    const int row = group_->checkedId();
    QVariant choice;
    if (!selectName_.isNull()) {
        const bool second = row >= 1;
        select_->setEnabled(second);
        choice = second ? values_.value(select_->currentIndex() + 1) : values_.value(0);
    } else {
        choice = values_.value(row);
    }
    const QString previous = selection_;
    selection_ = choiceValue(choice);
    if (delegate_)
        delegate_->quickFilterRadioItemUpdatedSelectionFrom(previous, selection_);
}
