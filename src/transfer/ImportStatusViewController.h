#pragma once

#include "transfer/ImportSubViewController.h"

class QLabel;
class QProgressBar;
class QPushButton;
class SQLTextView;

// The last page: starts the import when first shown, follows its progress and at the end shows the
// generated INSERT text or the refused rows, which go into the SQL editor or onto the clipboard.
class ImportStatusViewController : public ImportSubViewController
{
public:
    ImportStatusViewController();

    void updateInterface() override;
    // The run has ended: completed, with refusals, failed or stopped.
    bool canContinue() const override;
    void cancel();
    void insertIntoEditor();
    void copyToClipboard();
    // The refused rows when there are any, else the generated statements.
    QString resultText() const;
    // Above the counts: that the import runs, or how it ended.
    static QString heading(qint64 state);

    QLabel *statusMessage() const { return statusMessage_; }
    QLabel *headerText() const { return headerText_; }
    QProgressBar *progress() const { return progress_; }
    QPushButton *cancelButton() const { return cancelButton_; }
    QWidget *statusView() const { return statusView_; }
    QWidget *resultView() const { return resultView_; }
    SQLTextView *resultSqlView() const { return resultSqlView_; }

private:
    void setStatusView();
    void setResultView();
    void setLogMessage();

    QLabel *headerText_ = nullptr;
    QLabel *statusMessage_ = nullptr;
    QProgressBar *progress_ = nullptr;
    QPushButton *cancelButton_ = nullptr;
    QWidget *statusView_ = nullptr;
    QWidget *resultView_ = nullptr;
    SQLTextView *resultSqlView_ = nullptr;
};
