#pragma once

#include "window/PaneViewController.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>

// The content pane shown while a document has nothing to show. Until the schema browser fills the
// centre it says where to start: the SQL editor, with a button that shows the editor while it is hidden.
class EmptyViewController : public PaneViewController
{
    Q_OBJECT
public:
    explicit EmptyViewController(QObject *parent = nullptr);

    // The window's SQL editor pane, whose showing and hiding the guidance follows.
    void followSqlEditor(QWidget *editorPane);

    QLabel *guidanceLabel() const { return guidance_; }
    QPushButton *showSqlEditorButton() const { return showSqlEditor_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setSqlEditorShown(bool shown);
    void showSqlEditor();

    QPointer<QWidget> editorPane_;
    QPointer<QLabel> guidance_;
    QPointer<QPushButton> showSqlEditor_;
};
