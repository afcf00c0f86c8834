#pragma once

#include <QString>

class QoJavaBridge;

// Receives the bridge's error reports. Both arrive on the main thread.
class QoJavaBridgeDelegate
{
public:
    virtual ~QoJavaBridgeDelegate() = default;

    // A Java exception was caught after a call while reporting was armed; the bridge's
    // lastErrorLog() holds its report.
    virtual void javaBridgeEncounteredUnexpectedError(QoJavaBridge *bridge) = 0;
    // The VM could not be configured, or a class or object could not be resolved.
    virtual void javaBridgeEncounteredConfigError(QoJavaBridge *bridge, const QString &error,
                                                  const QString &description) = 0;
};
