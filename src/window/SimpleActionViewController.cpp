#include "window/SimpleActionViewController.h"

#include "kit/CommandRouter.h"
#include "window/SimpleActionController.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{
constexpr int PanelWidth = 440;
constexpr int PanelHeight = 120;
constexpr int ButtonRightEdge = 420;
constexpr int ButtonTop = 76;
} // namespace

SimpleActionViewController::SimpleActionViewController(QObject *parent) : PaneViewController(parent)
{
    QWidget *view = makeFilledView("SimpleAction", Qt::white);
    // The panel has no layout of its own: the button is placed by reload().
    auto *panel = new QWidget;
    panel->setFixedSize(PanelWidth, PanelHeight);
    text_ = new QLabel(panel);
    text_->setWordWrap(true);
    text_->setGeometry(20, 10, PanelWidth - 40, 60);
    text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    button_ = new QPushButton(panel);
    button_->setGeometry(ButtonRightEdge - 100, ButtonTop, 100, button_->sizeHint().height());
    connect(button_, &QPushButton::clicked, this, &SimpleActionViewController::buttonClicked);
    auto *layout = new QVBoxLayout(view);
    layout->addWidget(panel, 0, Qt::AlignCenter);
    setView(view);
}

void SimpleActionViewController::setSimpleActionController(SimpleActionController *model)
{
    model_ = model;
    reload();
}

void SimpleActionViewController::reload()
{
    const int rightEdge = button_->x() + button_->width();
    const int y = button_->y();
    const QString title = model_ ? model_->buttonTitle() : QString();
    button_->setText(title.isNull() ? QStringLiteral("NO TEXT") : title);
    const int width = button_->sizeHint().width();
    button_->setGeometry(rightEdge - width, y, width, button_->sizeHint().height());
    const QString text = model_ ? model_->text() : QString();
    text_->setText(text.isNull() ? QStringLiteral("NO BUTTON") : text);
}

void SimpleActionViewController::buttonClicked()
{
    if (!model_ || model_->action().isEmpty())
        return;
    CommandRouter::shared().sendAction(model_->action(), button_, model_->target(), button_->window());
}
