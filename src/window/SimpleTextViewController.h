#pragma once

#include "window/PaneViewController.h"

class QPlainTextEdit;
class SimpleTextController;

// Read-only text in the content pane: an object's DDL or a statement's message.
class SimpleTextViewController : public PaneViewController
{
    Q_OBJECT
public:
    explicit SimpleTextViewController(QObject *parent = nullptr);

    SimpleTextController *simpleTextController() const { return model_; }
    // Handing the same model again changes nothing: use textUpdated to refresh.
    void setSimpleTextController(SimpleTextController *model);
    void textUpdated();
    QPlainTextEdit *textView() const { return textView_; }

private:
    void applyTextLook();

    SimpleTextController *model_ = nullptr;
    QPlainTextEdit *textView_;
};
