#include "document/DocumentSaving.h"

#include "document/VornDocument.h"
#include "status/StatusManager.h"
#include "tabs/RecentDocuments.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>

namespace
{

QString documentText(const char *text)
{
    return QCoreApplication::translate("document", text);
}

} // namespace

DocumentSaving::DocumentSaving(VornDocument &document) : document_(document) {}

DocumentSaving::~DocumentSaving()
{
    delete savePanel_;
    delete revertQuestion_;
}

void DocumentSaving::save(Done done)
{
    if (document_.filePath().isEmpty()) {
        saveAs(std::move(done));
        return;
    }
    const bool saved = writeTo(document_.filePath());
    if (done)
        done(saved);
}

void DocumentSaving::saveAs(Done done)
{
    if (savePanel_) { // one question at a time; the open panel still answers
        if (done)
            done(false);
        return;
    }
    QWidget *window = document_.windowForSheet();
    auto *panel = new QFileDialog(window, documentText("Save"));
    panel->setAcceptMode(QFileDialog::AcceptSave);
    panel->setNameFilter(documentText("SQL documents (*.sql)"));
    panel->setDefaultSuffix(QStringLiteral("sql"));
    const QString suggested =
        document_.filePath().isEmpty() ? suggestedPathForDocument() : document_.filePath();
    panel->setDirectory(QFileInfo(suggested).absolutePath());
    panel->selectFile(QFileInfo(suggested).fileName());
    panel->setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    savePanel_ = panel;
    connect(panel, &QFileDialog::finished, this, [this, panel, done = std::move(done)](int result) {
        savePanel_ = nullptr; // answered; it goes away with the next turn of the event loop
        const QStringList chosen = panel->selectedFiles();
        const bool saved = result == QDialog::Accepted && !chosen.isEmpty() && writeTo(chosen.first());
        if (done)
            done(saved);
    });
    panel->open();
}

bool DocumentSaving::canRevert() const
{
    return !document_.filePath().isEmpty() && document_.hasDirtyDocument() && !document_.isClosed();
}

void DocumentSaving::revertToSaved()
{
    if (!canRevert() || revertQuestion_)
        return;
    QWidget *window = document_.windowForSheet();
    auto *question = new QMessageBox(
        QMessageBox::Warning, QStringLiteral("Vorn"),
        documentText("Do you want to revert to the most recently saved version of the document “%1”?")
            .arg(document_.displayName()),
        QMessageBox::NoButton, window);
    question->setInformativeText(documentText("Your current changes will be lost."));
    QPushButton *revert = question->addButton(documentText("Revert"), QMessageBox::DestructiveRole);
    question->addButton(documentText("Cancel"), QMessageBox::RejectRole);
    question->setDefaultButton(revert);
    question->setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    question->setAttribute(Qt::WA_DeleteOnClose);
    revertQuestion_ = question;
    connect(question, &QMessageBox::finished, this, [this, question, revert] {
        revertQuestion_ = nullptr;
        if (question->clickedButton() != revert || !canRevert())
            return;
        QString error;
        if (!document_.revertToContentsOfURL(document_.filePath(), &error)) {
            document_.statusManager()->runErrorWithTitle(documentText("The document could not be reverted."),
                                                         error);
            return;
        }
        document_.setDocumentEdited(false);
        document_.documentUpdated();
    });
    question->open();
}

bool DocumentSaving::writeTo(const QString &path)
{
    QString error;
    if (!document_.saveToFile(path, &error)) {
        document_.statusManager()->runErrorWithTitle(
            documentText("The document could not be saved."),
            QStringLiteral("%1\n\n%2").arg(QDir::toNativeSeparators(path), error));
        return false;
    }
    RecentDocuments().noteDocument(path);
    return true;
}

QString DocumentSaving::suggestedPathForDocument() const
{
    QString base =
        document_.connectionParameters() ? document_.connectionParameters()->connectionName() : QString();
    base.replace(u'/', u'-');
    if (base.trimmed().isEmpty())
        base = document_.displayName();
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) // no documents folder: home, not where we run
        folder = QDir::homePath();
    return suggestedPath(folder, base);
}

QString DocumentSaving::suggestedPath(const QString &folder, const QString &baseName)
{
    const QDir dir(folder);
    QString path = dir.filePath(baseName + QStringLiteral(".sql"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(QStringLiteral("%1 %2.sql").arg(baseName).arg(n));
    return path;
}
