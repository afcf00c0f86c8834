#include "kit/AssistantWindowController.h"

#include "kit/AssistantWindowControllerDelegate.h"
#include "kit/AssistantWindowSubViewController.h"
#include "kit/ColorBox.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>

AssistantWindowController::AssistantWindowController(QWidget *parent) : QDialog(parent)
{
    setObjectName("AssistantWindowController");
    index_ = new QWidget;
    indexLayout_ = new QVBoxLayout(index_);
    indexLayout_->setContentsMargins(16, 16, 16, 16);
    indexGroup_ = new QButtonGroup(this);
    indexGroup_->setExclusive(true);
    connect(indexGroup_, &QButtonGroup::idClicked, this, &AssistantWindowController::radioSelect);

    title_ = new QLabel;
    title_->setStyleSheet("font-size: 14pt; font-weight: bold;");
    contentBox_ = new QFrame;
    contentBox_->setFrameShape(QFrame::Box);
    contentBox_->setStyleSheet(QString("QFrame#contentBox { border: 1px solid %1; }")
                                   .arg(ColorBox::colors().active().paneBorder.name()));
    contentBox_->setObjectName("contentBox");
    auto *boxLayout = new QVBoxLayout(contentBox_);
    boxLayout->setContentsMargins(1, 1, 1, 1);

    autoSkip_ = new QCheckBox(tr("Skip optional steps"));
    connect(autoSkip_, &QCheckBox::clicked, this, &AssistantWindowController::autoSkipUpdate);
    cancelButton_ = new QPushButton(tr("Cancel"));
    previousButton_ = new QPushButton(tr("Back"));
    nextButton_ = new QPushButton(tr("Next"));
    nextButton_->setDefault(true);
    for (QPushButton *b : {cancelButton_, previousButton_, nextButton_})
        b->setAutoDefault(false);
    nextButton_->setAutoDefault(true);
    connect(cancelButton_, &QPushButton::clicked, this, &AssistantWindowController::cancel);
    connect(previousButton_, &QPushButton::clicked, this, &AssistantWindowController::previous);
    connect(nextButton_, &QPushButton::clicked, this, &AssistantWindowController::next);
    auto *back = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Left), this);
    connect(back, &QShortcut::activated, this, [this] {
        if (previousButton_->isEnabled())
            previous();
    });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(autoSkip_);
    buttons->addStretch();
    buttons->addWidget(cancelButton_);
    buttons->addWidget(previousButton_);
    buttons->addWidget(nextButton_);
    auto *right = new QVBoxLayout;
    right->addWidget(title_);
    right->addWidget(contentBox_, 1);
    right->addLayout(buttons);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(index_, 0, Qt::AlignTop);
    layout->addLayout(right, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

AssistantWindowController::~AssistantWindowController()
{
    // The page's view is the page's, not the window's.
    if (currentView_)
        currentView_->setParent(nullptr);
}

void AssistantWindowController::runAsSheet(QWidget *window)
{
    current_ = nullptr;
    selectStepOrAutoNext(0);
    setParent(window, windowFlags() | Qt::Sheet);
    setWindowModality(Qt::WindowModal);
    open();
}

void AssistantWindowController::runAsModalWindow()
{
    current_ = nullptr;
    selectStepOrAutoNext(0);
    setWindowModality(Qt::ApplicationModal);
    adjustSize();
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    exec();
}

void AssistantWindowController::showPageView(QWidget *view)
{
    auto *boxLayout = static_cast<QVBoxLayout *>(contentBox_->layout());
    if (currentView_ && currentView_ != view) {
        boxLayout->removeWidget(currentView_);
        currentView_->hide();
        currentView_->setParent(nullptr);
    }
    // The page keeps its own size: the window grows or shrinks around it.
    const QSize size = view->testAttribute(Qt::WA_Resized) ? view->size() : view->sizeHint();
    view->setFixedSize(size.expandedTo(view->minimumSize()));
    if (currentView_ != view)
        boxLayout->addWidget(view);
    view->show();
    currentView_ = view;
}

void AssistantWindowController::selectStep(qint64 index)
{
    if (!delegate_)
        return;
    const QStringList ids = delegate_->pageIdentifiersForAssistantWindowController(this);
    if (index < 0 || index >= ids.size())
        return;
    AssistantWindowSubViewController *page = delegate_->viewControllerForPageIdentifier(ids[index], this);
    Q_ASSERT_X(page, "selectStep", "delegate viewControllerForPageIdentifier must return viewcontroller");
    if (!page)
        return;
    current_ = page;
    showPageView(page->view());
    page->updateInterface();
    currentStep_ = index;
    setupButtons();
    setupIndex();
    autoSkip_->setChecked(autoSkipEnabled());
    autoSkip_->setVisible(delegate_->supportAutoSkipForAssistantWindowController(this));
    title_->setText(delegate_->titleForAssistantWindowController(this));
    page->view()->setFocus();
    for (QWidget *child : page->view()->findChildren<QWidget *>()) {
        if ((child->focusPolicy() & Qt::TabFocus) && child->isEnabled() && child->isVisibleTo(page->view())) {
            child->setFocus();
            break;
        }
    }
    delegate_->assistantWindowController(this, page);
}

bool AssistantWindowController::autoSkipEnabled()
{
    if (!delegate_ || !delegate_->supportAutoSkipForAssistantWindowController(this))
        return false;
    const QString key = delegate_->autoskipDefaultNameForForAssistantWindowController(this);
    return !key.isEmpty() && UserDefaults::standard().boolForKey(key);
}

void AssistantWindowController::selectStepOrAutoNext(qint64 index)
{
    qint64 target = index;
    if (delegate_ && autoSkipEnabled()) {
        const QStringList ids = delegate_->pageIdentifiersForAssistantWindowController(this);
        while (target + 1 < ids.size() && delegate_->canNavigateToPageIdentifier(ids[target + 1], this))
            ++target;
    }
    selectStep(target);
}

void AssistantWindowController::reevaluateInterface()
{
    setupButtons();
    setupIndex();
}

void AssistantWindowController::setupButtons()
{
    nextButton_->setText(delegate_->titleForForwardButtonForAssistantWindowController(this));
    previousButton_->setEnabled(delegate_->canMoveBackwardForAssistantWindowController(this));
    nextButton_->setEnabled(delegate_->canMoveForwardForAssistantWindowController(this));
    cancelButton_->setVisible(delegate_->canCancelAssistantWindowController(this));
    if (const std::optional<QString> title =
            delegate_->titleForCancelButtonForAssistantWindowController(this))
        cancelButton_->setText(*title);
}

QList<QAbstractButton *> AssistantWindowController::indexCells() const
{
    return indexGroup_->buttons();
}

void AssistantWindowController::setupIndex()
{
    const QList<QAbstractButton *> old = indexGroup_->buttons();
    for (QAbstractButton *cell : old) {
        indexGroup_->removeButton(cell);
        delete cell;
    }
    const QStringList ids = delegate_->pageIdentifiersForAssistantWindowController(this);
    for (int row = 0; row < ids.size(); ++row) {
        auto *cell = new QRadioButton(delegate_->nameForPageIdentifier(ids[row], this));
        cell->setFocusPolicy(Qt::NoFocus);
        cell->setEnabled(row == currentStep_ || delegate_->canNavigateToPageIdentifier(ids[row], this));
        cell->setChecked(row == currentStep_);
        indexGroup_->addButton(cell, row);
        indexLayout_->addWidget(cell);
    }
}

void AssistantWindowController::endEditing()
{
    // Moving the focus away commits what an editor of the page holds.
    if (QWidget *focus = focusWidget())
        focus->clearFocus();
}

void AssistantWindowController::next()
{
    endEditing();
    if (delegate_->forwardButtonCancelsAssistantWindowController(this)) {
        closeWizard();
        return;
    }
    selectStepOrAutoNext(currentStep_ + 1);
}

void AssistantWindowController::previous()
{
    endEditing();
    selectStep(currentStep_ - 1);
}

void AssistantWindowController::cancel()
{
    if (!delegate_->canCancelAssistantWindowController(this)) {
        QApplication::beep();
        return;
    }
    if (!delegate_->cancelConfirmationForAssistantWindowController(this))
        return;
    closeWizard();
}

void AssistantWindowController::radioSelect(int row)
{
    selectStep(row);
}

void AssistantWindowController::autoSkipUpdate()
{
    if (!delegate_->supportAutoSkipForAssistantWindowController(this))
        return;
    const QString key = delegate_->autoskipDefaultNameForForAssistantWindowController(this);
    if (!key.isEmpty())
        UserDefaults::standard().setObject(autoSkip_->isChecked(), key);
}

void AssistantWindowController::cancelOperation()
{
    if (delegate_->canCancelAssistantWindowController(this) ||
        (nextButton_->isEnabled() && delegate_->forwardButtonCancelsAssistantWindowController(this)))
        closeWizard();
}

QList<VisualShortcut> AssistantWindowController::visualShortcuts()
{
    return {
        VisualShortcut::visualShortCutWithView(cancelButton_, "\033", Qt::NoModifier,
                                               cancelButton_->isEnabled()),
        VisualShortcut::visualShortCutWithView(previousButton_, "\u2190", Qt::ControlModifier,
                                               previousButton_->isEnabled()),
        VisualShortcut::visualShortCutWithView(nextButton_, "\r", Qt::NoModifier, nextButton_->isEnabled())};
}

void AssistantWindowController::reject()
{
    cancelOperation();
}

void AssistantWindowController::closeEvent(QCloseEvent *event)
{
    // The window's close button never ends the wizard.
    event->ignore();
}

void AssistantWindowController::closeWizard()
{
    done(0);
    delegate_->cancelledAssistantWindowController(this);
}
