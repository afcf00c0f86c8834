#include "window/EmptyViewController.h"

#include "kit/CommandRouter.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

EmptyViewController::EmptyViewController(QObject *parent) : PaneViewController(parent)
{
    QWidget *view = makeFilledView("Empty", Qt::white);
    guidance_ = new QLabel;
    guidance_->setAlignment(Qt::AlignCenter);
    guidance_->setWordWrap(true);
    guidance_->setStyleSheet("color: #8c8c8c;");
    showSqlEditor_ = new QPushButton(tr("Show SQL Editor"));
    connect(showSqlEditor_, &QPushButton::clicked, this, &EmptyViewController::showSqlEditor);
    auto *layout = new QVBoxLayout(view);
    layout->addStretch();
    layout->addWidget(guidance_);
    layout->addSpacing(8);
    layout->addWidget(showSqlEditor_, 0, Qt::AlignHCenter);
    layout->addStretch();
    setView(view);
    setSqlEditorShown(false);
}

void EmptyViewController::followSqlEditor(QWidget *editorPane)
{
    if (editorPane_)
        editorPane_->removeEventFilter(this);
    editorPane_ = editorPane;
    editorPane_->installEventFilter(this);
    setSqlEditorShown(!editorPane_->isHidden());
}

bool EmptyViewController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == editorPane_ &&
        (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
        setSqlEditorShown(event->type() == QEvent::ShowToParent);
    return PaneViewController::eventFilter(watched, event);
}

void EmptyViewController::setSqlEditorShown(bool shown)
{
    guidance_->setText(shown ? tr("Write SQL statements in the SQL editor and execute them to see their "
                                  "results here.")
                             : tr("Show the SQL editor to write SQL statements and execute them."));
    showSqlEditor_->setVisible(!shown);
}

// The window that holds the pane shows its editor.
void EmptyViewController::showSqlEditor()
{
    CommandRouter::shared().sendAction(QStringLiteral("enableContentUpperView:"), showSqlEditor_, nullptr,
                                       view()->window());
}
