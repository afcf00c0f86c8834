#pragma once

class LoggerController;

// Told, on the main thread, that new log entries exist (at most once per flush).
class LoggerControllerDelegate
{
public:
    virtual ~LoggerControllerDelegate() = default;
    virtual void loggerControllerWasUpdated(LoggerController *logger) = 0;
};
