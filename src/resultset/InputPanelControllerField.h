#pragma once

#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <functional>
#include <memory>

#include <QLabel>
#include <QList>

// The description of one field of the input sheet: its name (the label and its address), its type and
// its value (the initial value when the sheet runs, the entered text after it ends). The sheet makes the
// label and the input control.
class InputPanelControllerField
{
public:
    enum Type : qint64 { Text = 0, Blob = 1, LargeText = 2 };

    static std::shared_ptr<InputPanelControllerField> fieldWithName(const QString &name, qint64 type,
                                                                    const QVariant &value);

    QString name() const { return name_; }
    qint64 type() const { return type_; }
    QVariant value() const { return value_; }
    void setValue(const QVariant &value) { value_ = value; }
    QLabel *label() const { return label_; }
    void setLabel(QLabel *label) { label_ = label; }
    QWidget *inputField() const { return inputField_; }
    void setInputField(QWidget *inputField) { inputField_ = inputField; }

    // A large-object field's buttons call this with themselves.
    using ButtonAction = std::function<void(class BlobButton *)>;
    ButtonAction buttonAction() const { return buttonAction_; }
    void setButtonAction(ButtonAction action) { buttonAction_ = std::move(action); }
    // A large-object field's buttons: Clear, Export, Import.
    QList<QPointer<class BlobButton>> custom() const { return custom_; }
    void setCustom(const QList<QPointer<class BlobButton>> &custom) { custom_ = custom; }

private:
    QString name_;
    qint64 type_ = Text;
    QVariant value_;
    QPointer<QLabel> label_;
    QPointer<QWidget> inputField_;
    ButtonAction buttonAction_;
    QList<QPointer<class BlobButton>> custom_;
};

using InputPanelControllerFieldPtr = std::shared_ptr<InputPanelControllerField>;
