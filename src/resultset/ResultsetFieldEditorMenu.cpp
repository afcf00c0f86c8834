#include "resultset/ResultsetFieldEditorMenu.h"

#include "resultset/ResultsetController.h"

#include <QCoreApplication>
#include <QMenu>
#include <QPointer>

namespace
{
QString text(const char *key)
{
    return QCoreApplication::translate("resultset", key);
}

void addItem(QMenu *menu, const QString &title, const char *action, QObject *target,
             const QStringList &representedObject = {})
{
    QAction *item = menu->addAction(title);
    if (!representedObject.isEmpty())
        item->setProperty("representedObject", representedObject);
    QObject::connect(item, &QAction::triggered, target, [target = QPointer<QObject>(target), item, action] {
        if (target)
            QMetaObject::invokeMethod(target, action, Q_ARG(QObject *, item));
    });
}
} // namespace

void ResultsetFieldEditorMenu::addEditModeItems(QMenu *menu, ResultsetController *model,
                                                const QString &columnName, QObject *target)
{
    menu->addSeparator();
    QString last;
    const QStringList sequences = model ? model->sequencesForColumn(columnName, &last) : QStringList();
    if (!sequences.isEmpty()) {
        if (!last.isEmpty())
            addItem(menu, text("Use Sequence") + QStringLiteral(" \"%1\"").arg(last), "selectSequence",
                    target, {last, columnName});
        QMenu *sequenceMenu = menu->addMenu(text("Use Sequence"));
        sequenceMenu->setObjectName(QStringLiteral("sequenceMenu"));
        for (const QString &sequence : sequences)
            addItem(sequenceMenu, sequence, "selectSequence", target, {sequence, columnName});
    }
    addItem(menu, text("Insert Current Date"), "insertDate", target);
    addItem(menu, text("Insert Current Time and Date"), "insertTime", target);
}
