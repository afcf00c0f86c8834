#pragma once

class StartupController;

// Hears how far the start-up work has come and when it is done. Main thread only.
class StartupControllerDelegate
{
public:
    virtual ~StartupControllerDelegate() = default;

    // progress: the fraction done, 0 to 1.
    virtual void startupController(StartupController *controller, float progress) = 0;
    virtual void startupControllerFinished(StartupController *controller) = 0;
};
