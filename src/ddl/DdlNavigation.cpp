#include "ddl/DdlNavigation.h"

#include <QCoreApplication>

bool DdlNavigation::canMoveForward(DdlPageRole shown, DdlCreateState state, bool shownPageCanContinue)
{
    switch (shown) {
    case DdlPageRole::Start:
        return true;
    case DdlPageRole::Data:
    case DdlPageRole::Script:
        return shownPageCanContinue;
    case DdlPageRole::Create:
        return state == DdlCreateState::Created;
    }
    return false;
}

bool DdlNavigation::canMoveBackward(DdlPageRole shown, DdlCreateState state)
{
    switch (shown) {
    case DdlPageRole::Start:
        return false;
    case DdlPageRole::Data:
    case DdlPageRole::Script:
        return true;
    case DdlPageRole::Create:
        return state == DdlCreateState::Editing;
    }
    return false;
}

bool DdlNavigation::canCancel(DdlCreateState state)
{
    return state == DdlCreateState::Editing;
}

bool DdlNavigation::forwardButtonCancels(DdlCreateState state)
{
    return state == DdlCreateState::Created;
}

QString DdlNavigation::forwardButtonTitle(DdlPageRole shown)
{
    if (shown == DdlPageRole::Script)
        return QCoreApplication::translate("ddl", "Create");
    if (shown == DdlPageRole::Create)
        return QCoreApplication::translate("ddl", "Finish");
    return QCoreApplication::translate("ddl", "Next");
}

bool DdlNavigation::canNavigateTo(DdlPageRole target, DdlCreateState state, bool earlierPagesCanContinue)
{
    if (state != DdlCreateState::Editing)
        return false;
    switch (target) {
    case DdlPageRole::Start:
        return true;
    case DdlPageRole::Data:
    case DdlPageRole::Script:
        return earlierPagesCanContinue;
    case DdlPageRole::Create:
        return false;
    }
    return false;
}
