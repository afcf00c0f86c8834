#include "ddl/DdlWaitWindow.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace
{
constexpr int margin = 20;
constexpr int messageWidth = 400;
} // namespace

DdlWaitWindow::DdlWaitWindow(QWidget *window, const QString &title, const QString &message) : QDialog(window)
{
    setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    setWindowTitle(title);
    auto *titleLabel = new QLabel(title, this);
    QFont bold = titleLabel->font();
    bold.setBold(true);
    titleLabel->setFont(bold);
    auto *messageLabel = new QLabel(message, this);
    messageLabel->setWordWrap(true);
    messageLabel->setMaximumWidth(std::max(messageWidth, titleLabel->sizeHint().width()));
    auto *spinner = new QProgressBar(this);
    spinner->setRange(0, 0); // busy, without an end
    spinner->setTextVisible(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->setSpacing(margin);
    layout->addWidget(titleLabel);
    layout->addWidget(messageLabel);
    layout->addWidget(spinner);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void DdlWaitWindow::end()
{
    ending_ = true;
    close();
    deleteLater();
}

void DdlWaitWindow::keyPressEvent(QKeyEvent *event)
{
    // Escape would close the sheet while the work goes on.
    event->ignore();
}

void DdlWaitWindow::closeEvent(QCloseEvent *event)
{
    if (ending_)
        event->accept();
    else
        event->ignore();
}
