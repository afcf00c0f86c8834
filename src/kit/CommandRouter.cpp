#include "kit/CommandRouter.h"

#include <QApplication>
#include <QMenuBar>
#include <QMetaMethod>
#include <QWidget>

CommandRouter &CommandRouter::shared()
{
    static CommandRouter router;
    return router;
}

CommandRouter::CommandRouter()
{
    // A menu bar that takes the keyboard (Alt, or Escape out of an open menu) gives it back to the
    // widget that had it; meanwhile commands still start from that widget.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        if (!qobject_cast<QMenuBar *>(now))
            return;
        QWidget *window = now->window();
        beforeMenuBar_.insert(window, old && old->window() == window ? old : nullptr);
        forgetOnDestruction(window);
    });
}

QWidget *CommandRouter::firstResponder(QWidget *window) const
{
    if (!window)
        return nullptr;
    window = window->window();
    QWidget *focus = window->focusWidget();
    if (qobject_cast<QMenuBar *>(focus))
        return beforeMenuBar_.value(window);
    return focus;
}

QByteArray CommandRouter::methodSignature(const QString &action)
{
    return action.section(':', 0, 0).toLatin1() + "(QObject*)";
}

bool CommandRouter::respondsToAction(const QObject *responder, const QString &action)
{
    return responder && !action.isEmpty() &&
           responder->metaObject()->indexOfMethod(methodSignature(action)) >= 0;
}

bool CommandRouter::canPerform(const QObject *responder, const QString &action)
{
    if (!respondsToAction(responder, action))
        return false;
    const QMetaObject *meta = responder->metaObject();
    const int validator = meta->indexOfMethod("validateAction(QString)");
    if (validator < 0)
        return true;
    bool valid = false;
    meta->method(validator).invoke(const_cast<QObject *>(responder), Qt::DirectConnection,
                                   Q_RETURN_ARG(bool, valid), Q_ARG(QString, action));
    return valid;
}

bool CommandRouter::perform(QObject *responder, const QString &action, QObject *sender)
{
    if (!respondsToAction(responder, action))
        return false;
    const QMetaObject *meta = responder->metaObject();
    const QMetaMethod method = meta->method(meta->indexOfMethod(methodSignature(action)));
    return method.invoke(responder, Qt::DirectConnection, Q_ARG(QObject *, sender));
}

QWidget *CommandRouter::mainWindow()
{
    return QApplication::activeWindow();
}

void CommandRouter::forgetOnDestruction(const QObject *object)
{
    if (watched_.contains(object))
        return;
    watched_.insert(object);
    connect(object, &QObject::destroyed, this, [this, object] {
        watched_.remove(object);
        beforeMenuBar_.remove(object);
        next_.remove(object);
        windowResponders_.remove(object);
        documents_.remove(object);
    });
}

void CommandRouter::setNextResponder(QObject *responder, QObject *next)
{
    if (!responder)
        return;
    next_.insert(responder, next);
    forgetOnDestruction(responder);
}

QObject *CommandRouter::nextResponder(const QObject *responder) const
{
    return next_.value(responder);
}

void CommandRouter::setWindowResponder(QWidget *window, QObject *responder)
{
    windowResponders_.insert(window, responder);
    forgetOnDestruction(window);
}

QObject *CommandRouter::windowResponder(const QWidget *window) const
{
    return windowResponders_.value(window);
}

void CommandRouter::setDocumentResponder(QWidget *window, QObject *document)
{
    documents_.insert(window, document);
    forgetOnDestruction(window);
}

void CommandRouter::addApplicationResponder(QObject *responder)
{
    if (responder && !application_.contains(responder))
        application_.append(responder);
}

void CommandRouter::removeApplicationResponder(QObject *responder)
{
    application_.removeAll(responder);
}

QList<QObject *> CommandRouter::responderChain(QWidget *window) const
{
    if (!window)
        window = mainWindow();
    QList<QObject *> chain;
    auto append = [&chain](QObject *o) {
        if (!o || chain.contains(o))
            return false;
        chain.append(o);
        return true;
    };
    if (window) {
        window = window->window();
        for (QWidget *w = firstResponder(window); w && w != window; w = w->parentWidget())
            append(w);
        append(window);
        for (QObject *o = windowResponder(window); append(o); o = nextResponder(o)) {
        }
        append(documents_.value(window));
    }
    for (const QPointer<QObject> &o : application_)
        append(o);
    return chain;
}

QObject *CommandRouter::targetForAction(const QString &action, QWidget *window) const
{
    const QList<QObject *> chain = responderChain(window);
    for (QObject *o : chain) {
        if (canPerform(o, action))
            return o;
    }
    return nullptr;
}

bool CommandRouter::sendAction(const QString &action, QObject *sender, QObject *target, QWidget *window)
{
    if (target)
        return perform(target, action, sender);
    return perform(targetForAction(action, window), action, sender);
}
