#pragma once

#include "ddl/DDLSubViewController.h"

class QLabel;
class QProgressBar;

// The welcome and progress pages: a text, and a busy indicator while the create runs.
class DDLSimpleTextViewController : public DDLSubViewController
{
public:
    DDLSimpleTextViewController();

    void setText(const QString &text);
    QString text() const;
    void showProgress(bool show);
    bool showsProgress() const;

private:
    QLabel *textField_;
    QProgressBar *progress_;
};
