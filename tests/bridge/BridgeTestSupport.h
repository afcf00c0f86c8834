#pragma once

#include "bridge/QoJavaBridgeDelegate.h"

#include <QString>
#include <QStringList>

#include <QVariant>

#include <mutex>
#include <ostream>

class QoJavaBridge;

// Readable QVariants in test failures.
void PrintTo(const QVariant &value, std::ostream *out);

// The shared bridge started from the build tree's Info.plist with the test jar added to its
// class path and JNI checking on. Started once per test binary.
QoJavaBridge *startedBridge();

// Collects the log lines written while it lives.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    QStringList lines() const;
    int count(const QString &line) const;

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &message);
    QtMessageHandler previous_;
};

// Turns on every level of the bridge's log category ("vorn.bridge") while it lives.
class BridgeLogEnabled
{
public:
    BridgeLogEnabled();
    ~BridgeLogEnabled();
};

// Records what the bridge reports and on which thread.
class RecordingDelegate : public QoJavaBridgeDelegate
{
public:
    void javaBridgeEncounteredUnexpectedError(QoJavaBridge *bridge) override;
    void javaBridgeEncounteredConfigError(QoJavaBridge *bridge, const QString &error,
                                          const QString &description) override;

    struct Report {
        QString error;
        QString description;
        bool onMainThread;
    };
    int unexpectedErrors() const;
    bool unexpectedErrorsOnMainThread() const;
    QList<Report> configErrors() const;

private:
    mutable std::mutex mutex_;
    int unexpectedErrors_ = 0;
    bool unexpectedOnMain_ = true;
    QList<Report> configErrors_;
};
