#pragma once

#include <QFileDialog>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class VornDocument;

// Save, Save As and Revert to Saved of one document: the SQL text behind its stored-settings
// header. Panels and questions are sheets on the document's window; a failure is shown as the
// document's alert and leaves the document as it was (still edited, same file). A saved file
// joins the recent documents. Main thread.
class DocumentSaving : public QObject
{
    Q_OBJECT
public:
    using Done = std::function<void(bool saved)>;

    explicit DocumentSaving(VornDocument &document);
    ~DocumentSaving() override;

    // Writes to the document's file; an untitled document asks for a name first.
    void save(Done done = {});
    // Asks for a name (the file's own, or a free one in the documents folder) and writes there.
    void saveAs(Done done = {});
    // Asks, then reads the file again; it neither connects nor disconnects.
    void revertToSaved();
    bool canRevert() const;

    // The panel or question while one is open.
    QFileDialog *savePanel() const { return savePanel_; }
    QMessageBox *revertQuestion() const { return revertQuestion_; }

    // A name for an untitled document's first save: "<base>.sql", or "<base> 2.sql" and on when
    // that file exists in the folder.
    static QString suggestedPath(const QString &folder, const QString &baseName);

private:
    bool writeTo(const QString &path);
    QString suggestedPathForDocument() const;

    VornDocument &document_;
    QPointer<QFileDialog> savePanel_;
    QPointer<QMessageBox> revertQuestion_;
};
