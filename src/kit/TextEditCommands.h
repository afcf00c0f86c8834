#pragma once

#include <QObject>

class QWidget;

// The Edit menu's standard commands (undo:, redo:, cut:, copy:, paste:, selectAll:) for the text
// field or text view that has the keyboard focus; selectAll: also selects every row of a focused
// list or grid. An application responder, so a focused widget with commands of its own comes
// first. Each command is valid only while it would do something.
class TextEditCommands : public QObject
{
    Q_OBJECT
public:
    explicit TextEditCommands(QObject *parent = nullptr);

    Q_INVOKABLE void undo(QObject *sender);
    Q_INVOKABLE void redo(QObject *sender);
    Q_INVOKABLE void cut(QObject *sender);
    Q_INVOKABLE void copy(QObject *sender);
    Q_INVOKABLE void paste(QObject *sender);
    Q_INVOKABLE void selectAll(QObject *sender);
    Q_INVOKABLE bool validateAction(const QString &action) const;

private:
    static QWidget *focused();
};
