#pragma once

#include "connection/ConnectedController.h"
#include "elements/BrowserElement.h"
#include "transfer/AbstractImporter.h"
#include "transfer/ImportOptions.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <optional>

class ImportControllerDelegate;
class XLSXUnpackCache;
class VornImporterClient;

// One import session of a connection document: the source file, the target table, the options, the
// preview, and the run on the "Import thread" that writes the rows through the backend's importer or
// generates INSERT text.
class ImportController : public ConnectedController
{
public:
    // Run states: single bits, compared for equality.
    enum State : qint64 {
        Idle = 0,
        Starting = 1,
        Running = 2,
        Completed = 4,
        CompletedWithRefusals = 8,
        Failed = 16,
        Stopped = 32,
    };

    explicit ImportController(VornRootClientPtr vornRoot);
    ~ImportController() override;

    ImportControllerDelegate *importDelegate() const { return importDelegate_; }
    void setImportDelegate(ImportControllerDelegate *delegate) { importDelegate_ = delegate; }

    void reset();
    static QStringList supportedFormats();
    // "xlsx" or "public.plain-text" (any other extension, "csv" in any case among them).
    static QString formatForFile(const QString &path);
    QString selectedFormat() const { return selectedFormat_; }
    QString selectedFilePath() const { return selectedFilePath_; }
    void setSelectedFilePath(const QString &path);
    QString targetSchema() const { return targetSchema_; }
    QString targetTable() const { return targetTable_; }
    void setSelectedTable(const QString &schema, const QString &table);
    // The target table as the browser names it; choosing one sets the target schema and table.
    BrowserElementPtr selectedBrowserElement() const { return selectedBrowserElement_; }
    void setSelectedBrowserElement(const BrowserElementPtr &element);
    // The tables the delegate offers as targets.
    QList<BrowserElementPtr> supportedImportBrowserElements() const;

    ImportOptions &importOptions() { return *options_; }
    void reloadWithUpdatedImportOptions(bool redetect);

    bool hasPreview() const { return previewRows_ != nullptr; }
    qsizetype previewRowCount() const { return previewRows_ ? previewRows_->size() : 0; }
    ImportRow dataRowPreview(qsizetype index) const { return previewRows_->value(index); }
    bool hadInitialPreview() const { return hadInitialPreview_; }
    void updatePreview();
    // Detects the type and format of one column of import_columns again, restricted to a type code
    // ("S", "N" or "D") or, with an empty code, to any; the preview is rebuilt.
    void autoDetectColumn(qsizetype index, const QString &type);
    QString overviewFormatLine() const;
    // Hands generated or refused statements to the delegate for the SQL editor.
    void insertSql(const QString &text);

    // Whether the database can fill a column from a sequence: asked of the backend once, off the main
    // thread, when a target is first chosen, so that pages may ask on every redraw. No until known.
    bool supportSequences() const { return sequenceSupport_.value_or(false); }
    QStringList sequenceList() const;
    void addSequence(const QString &sequenceName, const QString &mapTo)
    {
        options_->addSequence(sequenceName, mapTo);
    }
    void removeSequenceColumn(qsizetype index) { options_->removeSequenceColumn(index); }

    void beginImport();
    void cancelImport();
    qint64 state() const { return counters_->state.load(); }
    qint64 rowsImported() const { return counters_->rowsImported.load(); }
    qint64 rowsNotImported() const { return counters_->rowsNotImported.load(); }
    QString errorMessage() const { return errorMessage_; }
    QString importResultLog() const { return importResultLog_; }
    QString importResultErrorLog() const { return importResultErrorLog_; }

    // Drops the reader of the last preview.
    void endImportController();

private:
    struct RunResult;
    void baseSourceTargetUpdate(bool resetOptions);
    std::unique_ptr<AbstractImporter> createAppropriateImporter() const;
    // The reader of the format; none for a format without one.
    static std::unique_ptr<AbstractImporter> importerFor(const QString &format, const ImportOptions &options,
                                                         const QString &filePath,
                                                         const std::shared_ptr<XLSXUnpackCache> &cache);
    void lookUpSequenceSupport();
    void sendStatusUpdate();
    void previewDone(const std::shared_ptr<AbstractImporter> &importer,
                     const std::shared_ptr<QList<ImportRow>> &rows, quint64 generation);
    static void importRun(const std::shared_ptr<RunResult> &run);

    ImportControllerDelegate *importDelegate_ = nullptr;
    std::shared_ptr<ImportOptions> options_;
    // Workbooks unpacked for this import; emptied when the import ends.
    std::shared_ptr<XLSXUnpackCache> unpackCache_;
    QString selectedFormat_;
    QString selectedFilePath_;
    QString targetSchema_;
    QString targetTable_;
    BrowserElementPtr selectedBrowserElement_;
    std::optional<bool> sequenceSupport_;
    bool sequenceSupportLookup_ = false;
    std::shared_ptr<const QList<ImportRow>> previewRows_;
    bool needAutodetect_ = false;
    bool needAutodetectFormatOptions_ = false;
    bool hadInitialPreview_ = false;
    std::shared_ptr<std::atomic<quint64>> previewGeneration_ = std::make_shared<std::atomic<quint64>>(0);
    std::shared_ptr<const char> alive_ = std::make_shared<const char>('\0');
    // Shared with the import thread, which may outlive the controller.
    struct Counters {
        std::atomic<qint64> state{Idle};
        std::atomic<qint64> rowsImported{0};
        std::atomic<qint64> rowsNotImported{0};
    };
    std::shared_ptr<Counters> counters_ = std::make_shared<Counters>();
    QString errorMessage_;
    QString importResultLog_;
    QString importResultErrorLog_;
};
