#include "resultset/RecordEditController.h"

#include "resultset/BlobButton.h"
#include "resultset/RecordEditControllerDelegate.h"

#include <QCoreApplication>
#include <QFileDialog>

namespace
{
QString text(const char *key)
{
    return QCoreApplication::translate("recordeditcontroller", key);
}

const QString presentBlob = QStringLiteral("BIN");

QString chooseWithDialog(const QString &title, const QString &message, bool save)
{
    QFileDialog dialog(nullptr, title);
    dialog.setLabelText(QFileDialog::LookIn, message);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}
} // namespace

RecordEditController::RecordEditController()
    : inputPanelController_(std::make_unique<InputPanelController>()), chooseFile_(chooseWithDialog)
{
    InputPanelController &panel = *inputPanelController_;
    panel.setDefaultButtonTitle(text("OK"));
    panel.setDefaultButtonAction([this](InputPanelController *) { recordInputComplete(); });
    panel.setCancelButtonTitle(text("Cancel"));
    panel.setCancelButtonAction([this](InputPanelController *) { recordInputCancel(); });
    panel.setTitle(text("Record editor"));
    panel.setSubtitle(text("Below you edit all values of the selected record."));
}

RecordEditController::~RecordEditController() = default;

void RecordEditController::setReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    inputPanelController_->setReadOnly(readOnly);
}

void RecordEditController::runForColumns(const QStringList &columns, QWidget *window,
                                         const QVariantMap &userInfo, Action action,
                                         const QVariantMap &values)
{
    Q_ASSERT_X(delegate_, "RecordEditController", "The record editor needs its delegate");
    InputPanelController &panel = *inputPanelController_;
    panel.setSubtitle(readOnly_
                          ? text("Below you view and copy all values of the selected record. You cannot "
                                 "modify the values, as this is read-only resultset")
                          : text("Below you edit all values of the selected record."));
    action_ = std::move(action);
    userInfo_ = userInfo;
    staged_.clear();
    panel.removeFields();
    for (const QString &column : columns) {
        const bool multiLine = delegate_->recordEditorColumnIsClobOrLargeString(column);
        const bool blob = !multiLine && delegate_->recordEditorColumnIsBlob(column);
        const QVariant value = values.contains(column) ? values.value(column) : QVariant(QString());
        const qint64 type = multiLine ? InputPanelControllerField::LargeText
                            : blob    ? InputPanelControllerField::Blob
                                      : InputPanelControllerField::Text;
        InputPanelControllerFieldPtr field = InputPanelControllerField::fieldWithName(column, type, value);
        if (blob) {
            if (delegate_->recordEditorColumnIsBlobEmpty(column))
                field->setValue(QVariant());
            field->setButtonAction([this](BlobButton *sender) { blobAction(sender); });
        }
        panel.addField(field);
    }
    panel.runPanelOnWindow(window);
}

void RecordEditController::blobAction(BlobButton *sender)
{
    const QString column = sender->columnName();
    switch (sender->tag()) {
    case BlobButton::Import: {
        const QString path =
            chooseFile_(text("Import BLOB value"),
                        text("Select the file to load in the '%1' column.").arg(column), false);
        if (path.isEmpty())
            return;
        staged_.insert(column, StagedBlob{Staged::Import, path});
        reloadBlob(column, true);
        return;
    }
    case BlobButton::Export: {
        const QString path =
            chooseFile_(text("Export BLOB value"),
                        text("Select the file into which to store the '%1' column.").arg(column), true);
        if (path.isEmpty())
            return;
        delegate_->recordEditorSaveBlobFor(column, path);
        return;
    }
    case BlobButton::Clear:
        staged_.insert(column, StagedBlob{Staged::Clear, QString()});
        reloadBlob(column, false);
        return;
    default:
        return;
    }
}

void RecordEditController::reloadBlob(const QString &column, bool present)
{
    inputPanelController_->reloadWithUpdatedColumn(column, present ? QVariant(presentBlob) : QVariant());
}

void RecordEditController::recordInputComplete()
{
    // The large objects change now, before the values are handed on.
    if (!readOnly_) {
        for (auto staged = staged_.cbegin(); staged != staged_.cend(); ++staged) {
            if (staged->operation == Staged::Import)
                delegate_->recordEditorLoadBlobFor(staged.key(), staged->path);
            else
                delegate_->recordEditorClearBlobFor(staged.key());
        }
    }
    staged_.clear();
    QStringList columns;
    QVariantMap values;
    for (const InputPanelControllerFieldPtr &field : inputPanelController_->getFields()) {
        if (field->value().isNull())
            continue;
        columns << field->name();
        values.insert(field->name(), field->value());
    }
    if (action_)
        action_(QVariantMap{{"userInfo", userInfo_}, {"columns", columns}, {"values", values}});
}

void RecordEditController::recordInputCancel()
{
    staged_.clear();
    if (action_)
        action_(QVariantMap());
}
