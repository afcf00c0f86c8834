#pragma once

#include "SilentServer.h"
#include "bridge/QoJavaBridge.h"
#include "platform/Bundle.h"

// The shared bridge with the backend of the build tree. Started once per test binary, on the main
// thread.
inline QoJavaBridge *startedBackend()
{
    static QoJavaBridge *bridge = [] {
        Bundle::setMainBundlePrefix(qEnvironmentVariable("VORN_BUILD_DIR"));
        return QoJavaBridge::javaBridge();
    }();
    return bridge;
}
