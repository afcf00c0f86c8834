#pragma once

#include "browser/InfoColumnButtonBarDelegate.h"
#include "kit/VisualShortcut.h"

#include <QList>
#include <QWidget>

class InfoColumnButtonBarButton;

// The strip of section buttons centred along the top of the info column: one per bit of the button
// set, in the order of the bits, with Ctrl+Alt+1, +2, ... as keys, and a refresh button (Ctrl+Alt+R)
// at the right end. The lit button is disabled; the others dimmed. The shortcut overlay labels every
// button with its keys. Main thread.
class InfoColumnButtonBar : public QWidget, public VisualShortcutAdopter
{
    Q_OBJECT
public:
    static constexpr quint64 refreshFlag = 0x20000000;
    static constexpr int pitch = 28;
    static constexpr int barHeight = 22;

    // The number of bits set among bits 0 to 30.
    static int countButtons(quint64 buttonSet);
    InfoColumnButtonBar(quint64 buttonSet, qint64 initialSelection, QWidget *parent = nullptr);

    quint64 infoColumnButtonSet() const { return buttonSet_; }
    qint64 activeButton() const { return activeButton_; }
    void setActiveButton(qint64 type);
    void setEnableRefresh(bool enable);
    InfoColumnButtonBarDelegate *delegate() const { return delegate_; }
    void setDelegate(InfoColumnButtonBarDelegate *delegate) { delegate_ = delegate; }
    InfoColumnButtonBarButton *refreshButton() const { return refreshButton_; }
    const QList<InfoColumnButtonBarButton *> &buttons() const { return buttons_; }
    InfoColumnButtonBarButton *button(qint64 type) const;

    void buttonPressed(InfoColumnButtonBarButton *sender);
    void refreshPressed(InfoColumnButtonBarButton *sender);
    // One label per button, in bar order; every other one stands further off, as neighbours overlap.
    QList<VisualShortcut> visualShortcuts() override;

private:
    quint64 buttonSet_;
    qint64 activeButton_ = 0;
    InfoColumnButtonBarDelegate *delegate_ = nullptr;
    InfoColumnButtonBarButton *refreshButton_ = nullptr;
    QList<InfoColumnButtonBarButton *> buttons_;
};
