#include "resultset/InputPanelControllerField.h"

std::shared_ptr<InputPanelControllerField>
InputPanelControllerField::fieldWithName(const QString &name, qint64 type, const QVariant &value)
{
    auto field = std::make_shared<InputPanelControllerField>();
    field->name_ = name;
    field->type_ = type;
    field->value_ = value;
    return field;
}
