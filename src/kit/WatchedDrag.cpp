#include "kit/WatchedDrag.h"

#include <QCursor>
#include <QDrag>
#include <QGuiApplication>
#include <QTimer>

void execWatchedDrag(QDrag &drag, Qt::DropActions supportedActions,
                     const std::function<void(Qt::KeyboardModifiers modifiers, bool modifiersChanged)> &moved)
{
    Qt::KeyboardModifiers modifiers = QGuiApplication::queryKeyboardModifiers();
    QPoint position = QCursor::pos();
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &watch, [&] {
        const Qt::KeyboardModifiers now = QGuiApplication::queryKeyboardModifiers();
        if (now == modifiers && QCursor::pos() == position)
            return;
        const bool changed = now != modifiers;
        modifiers = now;
        position = QCursor::pos();
        moved(now, changed);
    });
    watch.start(30);
    drag.exec(supportedActions, Qt::CopyAction);
    watch.stop();
}
