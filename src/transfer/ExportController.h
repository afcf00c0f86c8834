#pragma once

#include "connection/ConnectedController.h"
#include "elements/BrowserElement.h"
#include "resultset/ExtendedResultsetDescription.h"
#include "transfer/ExportOptions.h"
#include "transfer/ExportState.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class ExportControllerDelegate;

// Runs the export of a table or of the current result set: the "Export thread" streams the rows from a
// backend cursor through the exporter of the chosen format into a temporary file, reporting progress; a
// short finishing thread then puts the file at its destination or its text on the clipboard. The
// settings live in exportOptions and are kept as the export defaults. Set-up and every delegate message
// happen on the main thread.
class ExportController : public ConnectedController
{
public:
    explicit ExportController(VornRootClientPtr vornRoot);
    ~ExportController() override;

    ExportControllerDelegate *exportDelegate() const { return exportDelegate_; }
    void setExportDelegate(ExportControllerDelegate *delegate) { exportDelegate_ = delegate; }

    // Back to idle with nothing chosen, the options read from the export defaults.
    void reset();
    // Keeps the current settings as the export defaults.
    void settingsUpdate();

    BrowserElementPtr selectedBrowserElement() const { return selectedBrowserElement_; }
    // An element clears the result-set choice and loads its columns.
    void setSelectedBrowserElement(const BrowserElementPtr &element);
    bool selectCurrentResultset() const { return selectCurrentResultset_; }
    void setSelectCurrentResultset(bool selected);
    QString selectedFormat() const { return selectedFormat_; }
    void setSelectedFormat(const QString &format);
    QString selectedFileURL() const { return selectedFileURL_; }
    void setSelectedFileURL(const QString &path) { selectedFileURL_ = path; }

    // "csv", and "sql" when the table the rows come from is known.
    QStringList supportedFormats() const;
    QList<BrowserElementPtr> supportedExportBrowserElements() const;
    bool supportsExportCurrentResult() const;
    ExtendedResultsetDescription resultsetDescription() const;
    // Reads the column list of the chosen source into the options (a short backend lookup).
    void updateSupportedColumnNames();

    static QString nameForFormat(const QString &format);
    bool supportHeaders() const;
    // The clipboard may be the destination.
    bool supportDestinationOptions() const;
    bool supportSheetDestinationOptions() const;
    // The separator and quoting options apply.
    bool supportCustomOptions() const;
    // The file name extension of the format; null for an unknown one.
    QString preferredFileType() const;

    ExportOptions &exportOptions() { return options_; }
    const ExportOptions &exportOptions() const { return options_; }
    qint64 state() const;
    qint64 exportedCount() const;
    QString errorMessage() const;
    QString temporaryFile() const;

    // Starts a run (state 1); refused with a message without source or format, or when the root is busy.
    void beginExport();
    // In state 4, once the destination is chosen (or it is the clipboard).
    void finishExport();
    // While exporting or finishing, or when the user declines to choose a destination.
    void cancelExport();

private:
    struct Run;

    void sendStatusUpdate();
    void failBeforeRun(const QString &message);
    QString sqlTableName() const;

    ExportControllerDelegate *exportDelegate_ = nullptr;
    ExportOptions options_;
    QString selectedFormat_;
    BrowserElementPtr selectedBrowserElement_;
    bool selectCurrentResultset_ = false;
    QString selectedFileURL_;
    // What the threads of a run share with the controller; it outlives the controller when it must.
    std::shared_ptr<Run> run_;
};
