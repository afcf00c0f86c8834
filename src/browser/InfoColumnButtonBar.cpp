#include "browser/InfoColumnButtonBar.h"

#include "browser/InfoColumnButtonBarButton.h"

#include <QKeySequence>

int InfoColumnButtonBar::countButtons(quint64 buttonSet)
{
    int count = 0;
    for (int bit = 0; bit <= 30; ++bit)
        count += (buttonSet >> bit) & 1;
    return count;
}

InfoColumnButtonBar::InfoColumnButtonBar(quint64 buttonSet, qint64 initialSelection, QWidget *parent)
    : QWidget(parent), buttonSet_(buttonSet)
{
    setObjectName(QStringLiteral("InfoColumnButtonBar"));
    const int extra = (buttonSet & refreshFlag) ? 8 : 0;
    resize(countButtons(buttonSet) * pitch + 4 + extra, barHeight);
    int placed = 0;
    for (int bit = 0; bit <= 30; ++bit) {
        const quint64 type = quint64(1) << bit;
        if (!(buttonSet & type))
            continue;
        auto *button = new InfoColumnButtonBarButton(qint64(type), this);
        if (type == refreshFlag) {
            button->move(placed * pitch + extra, 1);
            button->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_R));
            button->setCheckable(false);
            connect(button, &QAbstractButton::clicked, this, [this, button] { refreshPressed(button); });
            refreshButton_ = button;
        } else {
            button->move(placed * pitch, 1);
            if (placed < 9)
                button->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key(Qt::Key_1 + placed)));
            connect(button, &QAbstractButton::clicked, this, [this, button] { buttonPressed(button); });
        }
        buttons_ << button;
        ++placed;
    }
    const bool known = (buttonSet & quint64(initialSelection)) &&
                       countButtons(quint64(initialSelection)) == 1 &&
                       quint64(initialSelection) != refreshFlag;
    setActiveButton(known ? initialSelection : 1);
}

InfoColumnButtonBarButton *InfoColumnButtonBar::button(qint64 type) const
{
    for (InfoColumnButtonBarButton *button : buttons_) {
        if (button->tag() == type)
            return button;
    }
    return nullptr;
}

void InfoColumnButtonBar::buttonPressed(InfoColumnButtonBarButton *sender)
{
    setActiveButton(sender->tag());
    if (delegate_)
        delegate_->infoColumnButtonBarSelectChanged(this);
}

void InfoColumnButtonBar::refreshPressed(InfoColumnButtonBarButton *sender)
{
    if (!delegate_)
        return;
    delegate_->infoColumnButtonBarRefreshRequested(this);
    sender->setChecked(false);
}

QList<VisualShortcut> InfoColumnButtonBar::visualShortcuts()
{
    QList<VisualShortcut> shortcuts;
    for (InfoColumnButtonBarButton *button : std::as_const(buttons_)) {
        const QKeySequence keys = button->shortcut();
        if (keys.isEmpty())
            continue;
        const QKeyCombination combination = keys[0];
        VisualShortcut shortcut = VisualShortcut::visualShortCutWithView(
            button, QKeySequence(combination.key()).toString().toLower(), combination.keyboardModifiers(),
            button->isEnabled());
        shortcut.shouldBump = shortcuts.size() % 2 == 1;
        shortcuts << shortcut;
    }
    return shortcuts;
}

void InfoColumnButtonBar::setActiveButton(qint64 type)
{
    if (type == activeButton_)
        return;
    activeButton_ = type;
    for (InfoColumnButtonBarButton *button : buttons_) {
        if (button != refreshButton_)
            button->setChecked(button->tag() == type);
        button->setEnabled(button->tag() != type);
    }
}

void InfoColumnButtonBar::setEnableRefresh(bool enable)
{
    if (!refreshButton_)
        return;
    refreshButton_->setEnabled(enable);
    refreshButton_->update();
}
