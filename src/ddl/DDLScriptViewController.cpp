#include "ddl/DDLScriptViewController.h"

#include "client/VornRootClient.h"
#include "ddl/DDLController.h"
#include "ddl/DDLSubViewControllerDelegate.h"
#include "editor/SQLEditorTextStorage.h"
#include "editor/SQLTextView.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

DDLScriptViewController::DDLScriptViewController(Builder builder, const QString &description)
    : builder_(std::move(builder)), description_(new QLabel(description)), textView_(new SQLTextView)
{
    description_->setWordWrap(true);
    textView_->setReadOnly(true);
    auto *copyButton = new QPushButton(QCoreApplication::translate("ddl", "Copy"));
    auto *insertButton = new QPushButton(QCoreApplication::translate("ddl", "Insert into editor"));
    for (QPushButton *button : {copyButton, insertButton})
        button->setAutoDefault(false);
    QObject::connect(copyButton, &QPushButton::clicked, view_, [this] { copy(); });
    QObject::connect(insertButton, &QPushButton::clicked, view_, [this] { insert(); });
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(copyButton);
    buttons->addWidget(insertButton);
    auto *layout = new QVBoxLayout(view_);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->addWidget(description_);
    layout->addWidget(textView_, 1);
    layout->addLayout(buttons);
    view_->resize(560, 360);
}

void DDLScriptViewController::updateInterface()
{
    if (!ddlController() || !sharedData())
        return;
    script_ = builder_(*sharedData(), *ddlController());
    SQLEditorTextStorage *storage = textView_->textStorage();
    storage->setReservedWords(ddlController()->vornRoot()->reservedWords());
    storage->setContextWords(ddlController()->vornRoot()->contextWords());
    storage->replaceContents(script_.text);
}

void DDLScriptViewController::copy()
{
    QApplication::clipboard()->setText(script_.text);
    if (delegate())
        delegate()->DDLSubViewControllerWantsToClose(this);
}

void DDLScriptViewController::insert()
{
    if (!delegate())
        return;
    delegate()->DDLSubViewControllerWantsToInsertCodeIntoEditor(this, script_.text);
    delegate()->DDLSubViewControllerWantsToClose(this);
}
