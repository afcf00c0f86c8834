#include "resultset/InputPanelController.h"

#include "resultset/BlobButton.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace
{
Q_LOGGING_CATEGORY(inputPanelLog, "vorn.inputpanel")

const int margin = 16;
const int inputWidth = 280;
const int rowGap = 8;
const int buttonMinimumWidth = 80;

QFont smallFont()
{
    QFont font = QApplication::font();
    font.setPointSizeF(std::max(1.0, font.pointSizeF() - 2));
    return font;
}

QFont titleFont()
{
    QFont font = QApplication::font();
    font.setBold(true);
    return font;
}

// The height a wrapped text needs at that width.
int textHeight(QLabel *label, int width)
{
    return label ? label->heightForWidth(width) : 0;
}
} // namespace

InputPanelController::InputPanelController()
    : defaultButtonTitle_(QCoreApplication::translate("inputpanelcontroller", "OK"))
{
}

InputPanelController::~InputPanelController()
{
    delete window_;
}

void InputPanelController::removeFields()
{
    fields_.clear();
}

void InputPanelController::addField(InputPanelControllerFieldPtr field)
{
    fields_.append(std::move(field));
}

int InputPanelController::fieldSectionWidth(const QList<int> &labelWidths)
{
    int width = minimumFieldSectionWidth;
    for (const int labelWidth : labelWidths)
        width = std::max(width, labelWidth + 32 + 16 + inputWidth);
    return std::clamp(width, int(minimumFieldSectionWidth), int(maximumFieldSectionWidth));
}

int InputPanelController::fieldSectionHeight(const QList<int> &rowHeights)
{
    int total = 0;
    for (const int height : rowHeights)
        total += (total > 0 ? rowGap : 0) + height;
    return total + 4;
}

void InputPanelController::ensureInterfaceObjects()
{
    for (const InputPanelControllerFieldPtr &field : fields_) {
        if (!field->label()) {
            auto *label = new QLabel(field->name());
            label->setFont(smallFont());
            field->setLabel(label);
        }
        // Controls that exist keep what the user typed.
        const QString text = field->value().toString();
        switch (field->type()) {
        case InputPanelControllerField::Text:
            if (!field->inputField()) {
                auto *input = new QLineEdit(text);
                input->setReadOnly(readOnly_);
                field->setInputField(input);
            }
            break;
        case InputPanelControllerField::LargeText:
            if (!field->inputField()) {
                auto *input = new QPlainTextEdit(text);
                input->setReadOnly(readOnly_);
                input->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard |
                                               (readOnly_ ? Qt::NoTextInteraction : Qt::TextEditable));
                field->setInputField(input);
            }
            break;
        case InputPanelControllerField::Blob:
            // A large object has no text: its value only tells whether one is there.
            ensureBlobButtons(*field);
            continue;
        default:
            qCWarning(inputPanelLog,
                      "WARNING: Only InputPanelControllerFieldTypeText/Blob supported as of yet");
            field->setInputField(nullptr);
            continue;
        }
        if (field->value().isNull())
            field->setValue(QString());
    }
    if (titleField_)
        titleField_->setText(title_);
    if (subtitleField_)
        subtitleField_->setText(subtitle_);
}

void InputPanelController::ensureBlobButtons(InputPanelControllerField &field)
{
    QList<QPointer<BlobButton>> buttons = field.custom();
    if (!field.inputField() || buttons.size() != 3) {
        auto *box = new QWidget;
        auto *layout = new QHBoxLayout(box);
        layout->setContentsMargins(0, 0, 0, 0);
        const struct {
            const char *title;
            int tag;
        } kinds[] = {{QT_TRANSLATE_NOOP("inputpanelcontroller", "Clear"), BlobButton::Clear},
                     {QT_TRANSLATE_NOOP("inputpanelcontroller", "Export"), BlobButton::Export},
                     {QT_TRANSLATE_NOOP("inputpanelcontroller", "Import"), BlobButton::Import}};
        buttons.clear();
        for (const auto &kind : kinds) {
            auto *button = new BlobButton(QCoreApplication::translate("inputpanelcontroller", kind.title),
                                          field.name(), kind.tag, box);
            button->setAutoDefault(false);
            const InputPanelControllerField::ButtonAction action = field.buttonAction();
            QObject::connect(button, &QPushButton::clicked, button, [action, button] {
                if (action)
                    action(button);
            });
            buttons.append(button);
        }
        // Clear at the left, Import directly left of Export at the right end.
        layout->addWidget(buttons[0]);
        layout->addStretch(1);
        layout->addWidget(buttons[2]);
        layout->addWidget(buttons[1]);
        field.setInputField(box);
        field.setCustom(buttons);
    } else {
        qCDebug(inputPanelLog) << "locate buttons in" << field.inputField() << field.inputField()->children();
    }
    const bool present = !field.value().isNull();
    buttons[0]->setEnabled(present);
    buttons[1]->setEnabled(present);
}

void InputPanelController::reloadWithUpdatedColumn(const QString &name, const QVariant &value)
{
    for (const InputPanelControllerFieldPtr &field : fields_) {
        if (field->name() == name)
            field->setValue(value);
    }
    ensureInterfaceObjects();
}

int InputPanelController::rowHeight(const InputPanelControllerField &field) const
{
    switch (field.type()) {
    case InputPanelControllerField::Text:
        return field.inputField() ? field.inputField()->sizeHint().height() : 0;
    case InputPanelControllerField::LargeText:
        return largeTextHeight;
    case InputPanelControllerField::Blob:
        return field.inputField() ? field.inputField()->sizeHint().height() : 0;
    default:
        return 0;
    }
}

QWidget *InputPanelController::createFieldView(int width, int height)
{
    auto *view = new QWidget;
    view->setFixedSize(width, height);
    int top = 2;
    for (const InputPanelControllerFieldPtr &field : fields_) {
        const int rowHeight = this->rowHeight(*field);
        QLabel *label = field->label();
        label->setParent(view);
        const int labelHeight = label->sizeHint().height();
        label->setGeometry(margin, top + rowHeight - 2 - labelHeight, width - 320, labelHeight);
        if (QWidget *input = field->inputField()) {
            input->setParent(view);
            input->setGeometry(width - 296, top, inputWidth, rowHeight);
        }
        top += rowHeight + rowGap;
    }
    return view;
}

QWidget *InputPanelController::createHeader(int width, int height)
{
    auto *band = new QWidget;
    band->setFixedHeight(height);
    auto *layout = new QVBoxLayout(band);
    layout->setContentsMargins(margin, rowGap, margin, rowGap);
    layout->setSpacing(rowGap);
    if (titleField_)
        layout->addWidget(titleField_);
    if (subtitleField_)
        layout->addWidget(subtitleField_);
    layout->addStretch();
    auto *separator = new QFrame(band);
    separator->setFrameShape(QFrame::HLine);
    separator->setGeometry(0, height - 1, width, 1);
    return band;
}

void InputPanelController::runPanelOnWindow(QWidget *window)
{
    Q_ASSERT_X(defaultButtonAction_, "InputPanelController", "Must have an default button delegate");
    Q_ASSERT_X(!defaultButtonTitle_.isNull(), "InputPanelController", "Must have an default title delegate");
    // A client may run the next sheet from the callback of the last one, inside its button's signal.
    if (window_)
        window_->deleteLater();
    ensureInterfaceObjects();

    QList<int> labelWidths;
    QList<int> rowHeights;
    for (const InputPanelControllerFieldPtr &field : fields_) {
        labelWidths.append(std::min(field->label()->sizeHint().width(), 400));
        rowHeights.append(rowHeight(*field));
    }
    const int width = fieldSectionWidth(labelWidths);
    const int fieldHeight = fieldSectionHeight(rowHeights);

    window_ = new QDialog(window);
    window_->setWindowModality(Qt::WindowModal);
    window_->setWindowTitle(title_);
    inputView_ = createFieldView(width, fieldHeight);
    scrollView_ = new QScrollArea;
    scrollView_->setWidget(inputView_);
    scrollView_->setWidgetResizable(false);
    scrollView_->setFrameShape(QFrame::NoFrame);
    scrollView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int scrollHeight = std::min(fieldHeight, int(maximumScrollHeight));
    scrollView_->setMinimumHeight(scrollHeight);

    titleField_ = title_.isNull() ? nullptr : new QLabel(title_);
    subtitleField_ = subtitle_.isNull() ? nullptr : new QLabel(subtitle_);
    if (titleField_) {
        titleField_->setFont(titleFont());
        titleField_->setWordWrap(true);
    }
    if (subtitleField_) {
        subtitleField_->setFont(smallFont());
        subtitleField_->setWordWrap(true);
    }
    const int titleHeight = textHeight(titleField_, width - 2 * margin);
    const int subtitleHeight = textHeight(subtitleField_, width - 2 * margin);

    defaultButton_ = new QPushButton(defaultButtonTitle_);
    defaultButton_->setDefault(true);
    defaultButton_->setMinimumWidth(buttonMinimumWidth);
    QObject::connect(defaultButton_, &QPushButton::clicked, window_, [this] { endSheet(1); });
    cancelButton_ = new QPushButton(cancelButtonTitle_);
    cancelButton_->setMinimumWidth(buttonMinimumWidth);
    cancelButton_->setVisible(!cancelButtonTitle_.isNull());
    QObject::connect(cancelButton_, &QPushButton::clicked, window_, [this] { endSheet(0); });
    // Escape ends the sheet as the cancel button does, shown or not.
    QObject::connect(window_, &QDialog::rejected, window_, [this] {
        if (window_ && window_->property("ended").isNull())
            endSheet(0);
    });

    const int buttonHeight =
        std::max(defaultButton_->sizeHint().height(), cancelButton_->sizeHint().height());
    const int headerHeight =
        (titleField_ ? titleHeight + rowGap : 0) + (subtitleField_ ? subtitleHeight + rowGap : 0);
    const int height = scrollHeight + 2 * margin + headerHeight + buttonHeight + margin;

    auto *layout = new QVBoxLayout(window_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // Above the fields: the header's texts and 24 more; below them the button row and 24 more.
    if (titleField_ || subtitleField_)
        layout->addWidget(createHeader(width, headerHeight + 3 * rowGap));
    else
        layout->addSpacing(3 * rowGap);
    layout->addWidget(scrollView_, 1);
    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(margin, rowGap, margin, margin);
    buttons->setSpacing(rowGap);
    buttons->addStretch();
    buttons->addWidget(cancelButton_);
    buttons->addWidget(defaultButton_);
    layout->addLayout(buttons);

    window_->setMinimumSize(width, height);
    window_->setMaximumSize(std::max(width, int(maximumFieldSectionWidth)),
                            height + fieldHeight - scrollHeight);
    window_->resize(width, height);
    window_->open();
    scrollView_->verticalScrollBar()->setValue(0);
    focusFirstField();
}

// Typing goes into the first field at once, replacing its prefilled value, and Return then ends the
// sheet with what was typed.
void InputPanelController::focusFirstField()
{
    for (const InputPanelControllerFieldPtr &field : fields_) {
        QWidget *input = field->inputField();
        if (!input)
            continue;
        input->setFocus(Qt::TabFocusReason);
        if (auto *line = qobject_cast<QLineEdit *>(input))
            line->selectAll();
        return;
    }
}

void InputPanelController::endSheet(int returnCode)
{
    if (!window_ || !window_->property("ended").isNull())
        return;
    window_->setProperty("ended", returnCode);
    window_->done(returnCode);
    sheetDidEnd(returnCode);
}

void InputPanelController::sheetDidEnd(int returnCode)
{
    for (const InputPanelControllerFieldPtr &field : fields_) {
        if (auto *line = qobject_cast<QLineEdit *>(field->inputField()))
            field->setValue(line->text());
        else if (auto *text = qobject_cast<QPlainTextEdit *>(field->inputField()))
            field->setValue(text->toPlainText());
    }
    if (returnCode == 1 && defaultButtonAction_)
        defaultButtonAction_(this);
    else if (returnCode == 0 && cancelButtonAction_)
        cancelButtonAction_(this);
}
