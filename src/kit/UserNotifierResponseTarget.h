#pragma once

// An object that answers when the user clicks one of its notifications.
class UserNotifierResponseTarget
{
public:
    virtual ~UserNotifierResponseTarget() = default;
    virtual void userRespondedToUserNotifier() = 0;
};
