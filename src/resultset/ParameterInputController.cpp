#include "resultset/ParameterInputController.h"

#include <QCoreApplication>

namespace
{
QString text(const char *key)
{
    return QCoreApplication::translate("parameterinputcontroller", key);
}
} // namespace

ParameterInputController::ParameterInputController()
    : inputPanelController_(std::make_unique<InputPanelController>())
{
    InputPanelController *panel = inputPanelController_.get();
    panel->setDefaultButtonTitle(text("OK"));
    panel->setDefaultButtonAction([this](InputPanelController *sender) { parameterInputComplete(sender); });
    panel->setCancelButtonTitle(text("Cancel"));
    panel->setCancelButtonAction([this](InputPanelController *sender) { parameterInputCancel(sender); });
    panel->setTitle(text("Input parameters"));
    panel->setSubtitle(text(
        "Below you can input values for all parameters that are available in the selected SQL statements."));
}

void ParameterInputController::runForSqlParameters(const QStringList &names, QWidget *window,
                                                   const QVariant &userInfo, Action action,
                                                   const QVariantMap &parameterCache)
{
    inputPanelController_->setTitle(text("SQL Input Parameters"));
    inputPanelController_->setSubtitle(
        text("Below you can input values for all parameters that are available "
             "in the selected SQL statement(s)."));
    runForParameters(names, window, userInfo, std::move(action), parameterCache);
}

void ParameterInputController::runForProcedureParameters(const QStringList &names, QWidget *window,
                                                         const QVariant &userInfo, Action action,
                                                         const QVariantMap &parameterCache)
{
    inputPanelController_->setTitle(text("Procedure Input Parameters"));
    inputPanelController_->setSubtitle(
        text("Below you can input values for all input (in or inout) parameters "
             "that are required for the selected procedure or function."));
    runForParameters(names, window, userInfo, std::move(action), parameterCache);
}

void ParameterInputController::runForParameters(const QStringList &names, QWidget *window,
                                                const QVariant &userInfo, Action action,
                                                const QVariantMap &parameterCache)
{
    action_ = std::move(action);
    userInfo_ = userInfo;
    inputPanelController_->removeFields();
    for (const QString &name : names) {
        inputPanelController_->addField(InputPanelControllerField::fieldWithName(
            name, InputPanelControllerField::Text, parameterCache.value(name)));
    }
    inputPanelController_->runPanelOnWindow(window);
}

void ParameterInputController::parameterInputComplete(InputPanelController *panel)
{
    QStringList names;
    QVariantMap values;
    for (const InputPanelControllerFieldPtr &field : panel->getFields()) {
        names.append(field->name());
        values.insert(field->name(), field->value());
    }
    QVariantMap result;
    if (userInfo_.isValid())
        result.insert("userInfo", userInfo_);
    result.insert("parameterNames", names);
    result.insert("parameterValues", values);
    if (action_)
        action_(result);
}

void ParameterInputController::parameterInputCancel(InputPanelController *)
{
    if (action_)
        action_(QVariant());
}
