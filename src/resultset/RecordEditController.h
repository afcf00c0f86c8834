#pragma once

#include "resultset/InputPanelController.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>
#include <memory>

class BlobButton;
class RecordEditControllerDelegate;
class QWidget;

// Shows all values of one record in the input sheet, one field per column: text in a line, character
// large objects and long texts in several lines, binary large objects as Clear, Export and Import
// buttons. Export writes the file at once; Clear and Import only change the record when the sheet ends
// with OK, so Cancel leaves the record as it was. The result goes to the client's action: a dictionary
// with "userInfo", "columns" (the fields that have a value, in order) and "values", or an empty map when
// cancelled. Main thread only.
class RecordEditController
{
public:
    using Action = std::function<void(const QVariantMap &result)>;
    // Asks for a file: the title, the message, and whether it is written (save) or read; empty when the
    // user cancelled.
    using FileChooser = std::function<QString(const QString &title, const QString &message, bool save)>;

    RecordEditController();
    ~RecordEditController();

    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly);
    void setDelegate(RecordEditControllerDelegate *delegate) { delegate_ = delegate; }
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
    InputPanelController *inputPanelController() const { return inputPanelController_.get(); }

    // values: by column name; a column without an entry shows as empty text. Returns at once.
    void runForColumns(const QStringList &columns, QWidget *window, const QVariantMap &userInfo,
                       Action action, const QVariantMap &values);
    // The operation of a large-object button.
    void blobAction(BlobButton *sender);

private:
    void recordInputComplete();
    void recordInputCancel();
    // The field's value after a large-object operation: present or empty.
    void reloadBlob(const QString &column, bool present);

    enum class Staged { Clear, Import };
    struct StagedBlob {
        Staged operation;
        QString path;
    };

    std::unique_ptr<InputPanelController> inputPanelController_;
    RecordEditControllerDelegate *delegate_ = nullptr;
    bool readOnly_ = false;
    QVariantMap userInfo_;
    Action action_;
    FileChooser chooseFile_;
    // Clear and Import waiting for OK, by column.
    QHash<QString, StagedBlob> staged_;
};
