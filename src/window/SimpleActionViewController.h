#pragma once

#include "window/PaneViewController.h"

class QLabel;
class QPushButton;
class SimpleActionController;

// A message with one action button below it; the button stays right-aligned when its title
// changes.
class SimpleActionViewController : public PaneViewController
{
    Q_OBJECT
public:
    explicit SimpleActionViewController(QObject *parent = nullptr);

    SimpleActionController *simpleActionController() const { return model_; }
    // The model stays the document's; null detaches it.
    void setSimpleActionController(SimpleActionController *model);
    void contentUpdated() { reload(); }
    void reload();

    QLabel *textField() const { return text_; }
    QPushButton *actionButton() const { return button_; }

private:
    void buttonClicked();

    SimpleActionController *model_ = nullptr;
    QLabel *text_;
    QPushButton *button_;
};
