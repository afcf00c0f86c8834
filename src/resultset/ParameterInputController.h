#pragma once

#include "resultset/InputPanelController.h"

#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <functional>
#include <memory>

class QWidget;

// The form that asks for the values of statement parameters (or a procedure's input parameters) before
// they run: one text field per name, prefilled from the values used last, on the input sheet. The outcome
// goes to the requester's action: "userInfo" (left out when there is none), "parameterNames" in field
// order and "parameterValues" by name; a cancelled form sends an invalid QVariant.
class ParameterInputController
{
public:
    using Action = std::function<void(const QVariant &result)>;

    ParameterInputController();

    void runForSqlParameters(const QStringList &names, QWidget *window, const QVariant &userInfo,
                             Action action, const QVariantMap &parameterCache);
    void runForProcedureParameters(const QStringList &names, QWidget *window, const QVariant &userInfo,
                                   Action action, const QVariantMap &parameterCache);
    // Keeps the title and subtitle set last.
    void runForParameters(const QStringList &names, QWidget *window, const QVariant &userInfo, Action action,
                          const QVariantMap &parameterCache);

    InputPanelController *inputPanelController() const { return inputPanelController_.get(); }
    QVariant userInfo() const { return userInfo_; }

private:
    void parameterInputComplete(InputPanelController *panel);
    void parameterInputCancel(InputPanelController *panel);

    std::unique_ptr<InputPanelController> inputPanelController_;
    QVariant userInfo_;
    Action action_;
};
