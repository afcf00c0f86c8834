#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>

class QWidget;

// Finds who performs a command, in place of a responder chain. A command keeps its selector
// form ("navigateBack:"); an object performs it when it has an invokable method (slot or
// Q_INVOKABLE) named by the first label that takes the sender: void navigateBack(QObject *sender).
//
// A window's chain is: its focus widget and that widget's parents up to the window, then the
// window's responder (its window controller) followed by the links set with setNextResponder,
// then the window's document, then the application's responders.
//
// A responder whose commands depend on its state also has an invokable
// bool validateAction(const QString &action) const; while it answers false for a command it has,
// the command passes on down the chain as if the responder had no method for it.
class CommandRouter : public QObject
{
    Q_OBJECT
public:
    static CommandRouter &shared();

    static QByteArray methodSignature(const QString &action);
    static bool respondsToAction(const QObject *responder, const QString &action);
    // Has the method and, when it validates its commands, performs this one now.
    static bool canPerform(const QObject *responder, const QString &action);
    // Calls the action's method on the responder; false when it has none.
    static bool perform(QObject *responder, const QString &action, QObject *sender);
    // The window that commands and toolbar validation go to: the active window.
    static QWidget *mainWindow();

    void setNextResponder(QObject *responder, QObject *next);
    QObject *nextResponder(const QObject *responder) const;
    void setWindowResponder(QWidget *window, QObject *responder);
    QObject *windowResponder(const QWidget *window) const;
    void setDocumentResponder(QWidget *window, QObject *document);
    void addApplicationResponder(QObject *responder);
    void removeApplicationResponder(QObject *responder);

    // The widget of the window that commands start from: its focus widget, or, while the menu bar
    // has taken the keyboard to walk its menus, the widget that had it before.
    QWidget *firstResponder(QWidget *window) const;
    // The whole chain of a window (null: the main window), duplicates and cycles left out.
    QList<QObject *> responderChain(QWidget *window = nullptr) const;
    QObject *targetForAction(const QString &action, QWidget *window = nullptr) const;
    // Sends to the target when one is given, else to the first responder of the chain that
    // performs the action. False when nobody performed it.
    bool sendAction(const QString &action, QObject *sender, QObject *target = nullptr,
                    QWidget *window = nullptr);

private:
    CommandRouter();
    void forgetOnDestruction(const QObject *object);

    QHash<const QObject *, QPointer<QObject>> next_;
    QHash<const QObject *, QPointer<QObject>> windowResponders_;
    QHash<const QObject *, QPointer<QObject>> documents_;
    QList<QPointer<QObject>> application_;
    QSet<const QObject *> watched_;
    QHash<const QObject *, QPointer<QWidget>> beforeMenuBar_; // by window
};
