#include "app/RecentDocumentsMenu.h"

#include "app/VornDocumentController.h"
#include "tabs/RecentDocuments.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

void RecentDocumentsMenu::attach(QMenu *menu)
{
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu] { fill(menu); });
    fill(menu);
}

void RecentDocumentsMenu::fill(QMenu *menu)
{
    menu->clear();
    const QStringList paths = RecentDocuments().documents();
    QStringList names;
    for (const QString &path : paths)
        names << QFileInfo(path).fileName();
    for (const QString &path : paths) {
        const QFileInfo file(path);
        QString title = file.fileName();
        if (names.count(title) > 1)
            title = QStringLiteral("%1 — %2").arg(title, QDir::toNativeSeparators(file.absolutePath()));
        QAction *item = menu->addAction(title);
        item->setToolTip(QDir::toNativeSeparators(path));
        item->setData(path);
        QObject::connect(item, &QAction::triggered, item, [path] {
            if (VornDocumentController *documents = VornDocumentController::sharedDocumentController())
                documents->openDocumentWithContentsOfURL(path);
        });
    }
    if (!paths.isEmpty())
        menu->addSeparator();
    QAction *clear = menu->addAction(QCoreApplication::translate("MainMenu", "Clear Menu"));
    clear->setEnabled(!paths.isEmpty());
    QObject::connect(clear, &QAction::triggered, clear, [] { RecentDocuments().clear(); });
}
