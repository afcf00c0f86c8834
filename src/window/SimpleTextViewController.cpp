#include "window/SimpleTextViewController.h"

#include "window/SimpleTextController.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScrollBar>

SimpleTextViewController::SimpleTextViewController(QObject *parent) : PaneViewController(parent)
{
    textView_ = new QPlainTextEdit;
    textView_->setObjectName("SimpleText");
    textView_->setReadOnly(true);
    textView_->setFrameShape(QFrame::NoFrame);
    textView_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    applyTextLook();
    setView(textView_);
}

void SimpleTextViewController::applyTextLook()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(11);
    textView_->setFont(font);
    textView_->document()->setDocumentMargin(16);
    textView_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

void SimpleTextViewController::setSimpleTextController(SimpleTextController *model)
{
    if (model == model_)
        return;
    model_ = model;
    textView_->setPlainText(model_ ? model_->text() : QString());
    applyTextLook();
}

void SimpleTextViewController::textUpdated()
{
    textView_->setPlainText(model_ ? model_->text() : QString());
    textView_->verticalScrollBar()->setValue(0);
    textView_->moveCursor(QTextCursor::Start);
    applyTextLook();
}
