#pragma once

#include "resultset/InputPanelControllerField.h"

#include <QDialog>
#include <QLabel>
#include <QList>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QString>

#include <functional>

// A window-modal sheet that asks for a list of named values: a header with title and subtitle, a
// scrolling section with a label and an input control per field, and the default and cancel buttons.
// When a button ends the sheet, the typed text is copied into the field descriptions and the button's
// callback gets the controller. Values are handed back as typed: checking them is the client's business.
// Main thread only.
class InputPanelController
{
public:
    using Callback = std::function<void(InputPanelController *)>;

    static constexpr int minimumFieldSectionWidth = 260;
    static constexpr int maximumFieldSectionWidth = 600;
    static constexpr int maximumScrollHeight = 400;
    static constexpr int largeTextHeight = 200;

    InputPanelController();
    ~InputPanelController();
    InputPanelController(const InputPanelController &) = delete;
    InputPanelController &operator=(const InputPanelController &) = delete;

    void removeFields();
    // Gives every field of that name the value (none: an empty large object) and refreshes the controls;
    // typed text stays.
    void reloadWithUpdatedColumn(const QString &name, const QVariant &value);
    void addField(InputPanelControllerFieldPtr field);
    QList<InputPanelControllerFieldPtr> getFields() const { return fields_; }

    // Builds the sheet and opens it on the window; returns at once.
    void runPanelOnWindow(QWidget *window);

    void setTitle(const QString &title) { title_ = title; }
    QString title() const { return title_; }
    void setSubtitle(const QString &subtitle) { subtitle_ = subtitle; }
    QString subtitle() const { return subtitle_; }
    void setDefaultButtonTitle(const QString &title) { defaultButtonTitle_ = title; }
    QString defaultButtonTitle() const { return defaultButtonTitle_; }
    // The cancel button shows only with a title.
    void setCancelButtonTitle(const QString &title) { cancelButtonTitle_ = title; }
    QString cancelButtonTitle() const { return cancelButtonTitle_; }
    void setDefaultButtonAction(Callback action) { defaultButtonAction_ = std::move(action); }
    void setCancelButtonAction(Callback action) { cancelButtonAction_ = std::move(action); }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool readOnly() const { return readOnly_; }

    QDialog *window() const { return window_; }
    QPushButton *defaultButton() const { return defaultButton_; }
    QPushButton *cancelButton() const { return cancelButton_; }
    QScrollArea *scrollView() const { return scrollView_; }
    QWidget *inputView() const { return inputView_; }

    // The field section's width for labels of these widths: room for the widest label beside a 280-wide
    // input, between 260 and 600.
    static int fieldSectionWidth(const QList<int> &labelWidths);
    // The field section's height for rows of these heights: 8 between rows, 4 in all around them.
    static int fieldSectionHeight(const QList<int> &rowHeights);

    // Ends a running sheet as its buttons do: 1 for the default button, 0 for cancel.
    void endSheet(int returnCode);

private:
    void ensureInterfaceObjects();
    void ensureBlobButtons(InputPanelControllerField &field);
    int rowHeight(const InputPanelControllerField &field) const;
    QWidget *createFieldView(int width, int height);
    QWidget *createHeader(int width, int height);
    void sheetDidEnd(int returnCode);
    void focusFirstField();

    QString title_;
    QString subtitle_;
    QString defaultButtonTitle_;
    QString cancelButtonTitle_;
    Callback defaultButtonAction_;
    Callback cancelButtonAction_;
    bool readOnly_ = false;
    QList<InputPanelControllerFieldPtr> fields_;
    QPointer<QDialog> window_;
    QPointer<QPushButton> defaultButton_;
    QPointer<QPushButton> cancelButton_;
    QPointer<QScrollArea> scrollView_;
    QPointer<QWidget> inputView_;
    QPointer<QLabel> titleField_;
    QPointer<QLabel> subtitleField_;
};
