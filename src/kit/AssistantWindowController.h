#pragma once

#include "kit/VisualShortcut.h"

#include <QDialog>
#include <QPointer>

class AssistantWindowControllerDelegate;
class AssistantWindowSubViewController;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QVBoxLayout;

// The generic step-by-step assistant window: a step index on the left, a title, the current page
// in a framed box, Cancel, Back and Next, and an optional auto-skip check box. It knows nothing
// of what it assists: its delegate names the pages and decides what is usable. It runs as a
// sheet on a document window or as an application-modal window. Main thread only.
class AssistantWindowController : public QDialog, public VisualShortcutAdopter
{
    Q_OBJECT
public:
    explicit AssistantWindowController(QWidget *parent = nullptr);
    ~AssistantWindowController() override;

    AssistantWindowControllerDelegate *delegate() const { return delegate_; }
    void setDelegate(AssistantWindowControllerDelegate *delegate) { delegate_ = delegate; }
    AssistantWindowSubViewController *currentViewController() const { return current_; }
    void setCurrentViewController(AssistantWindowSubViewController *page) { current_ = page; }
    qint64 currentStep() const { return currentStep_; }
    void setCurrentStep(qint64 step) { currentStep_ = step; }

    // Window-modal on the given window; returns at once.
    void runAsSheet(QWidget *window);
    // Application-modal; returns when the wizard has closed.
    void runAsModalWindow();

    void selectStep(qint64 index);
    void selectStepOrAutoNext(qint64 index);
    void reloadViewController() { selectStep(currentStep_); }
    void reevaluateInterface();
    bool autoSkipEnabled();

    void next();
    void previous();
    void cancel();
    void radioSelect(int row);
    void autoSkipUpdate();
    // Escape: closes without asking when the assistant can cancel, or when an enabled forward
    // button would close it anyway.
    void cancelOperation();
    QList<VisualShortcut> visualShortcuts() override;

    QPushButton *cancelButton() const { return cancelButton_; }
    QPushButton *previousButton() const { return previousButton_; }
    QPushButton *nextButton() const { return nextButton_; }
    QCheckBox *autoSkipBox() const { return autoSkip_; }
    QLabel *titleField() const { return title_; }
    QList<QAbstractButton *> indexCells() const;

protected:
    void reject() override;
    void closeEvent(QCloseEvent *event) override;

private:
    void setupButtons();
    void setupIndex();
    void closeWizard();
    void showPageView(QWidget *view);
    void endEditing();

    AssistantWindowControllerDelegate *delegate_ = nullptr;
    AssistantWindowSubViewController *current_ = nullptr;
    qint64 currentStep_ = 0;
    QPointer<QWidget> currentView_;

    QPushButton *cancelButton_;
    QPushButton *previousButton_;
    QPushButton *nextButton_;
    QWidget *index_;
    QVBoxLayout *indexLayout_;
    QButtonGroup *indexGroup_;
    QFrame *contentBox_;
    QLabel *title_;
    QCheckBox *autoSkip_;
};
