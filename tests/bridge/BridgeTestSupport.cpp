#include "BridgeTestSupport.h"

#include "bridge/QoJavaBridge.h"
#include "platform/Bundle.h"
#include "platform/MainThread.h"

#include <QDebug>
#include <QLoggingCategory>

namespace
{
std::mutex logMutex;
QStringList logLines;
} // namespace

QoJavaBridge *startedBridge()
{
#ifdef VORN_BRIDGE_TEST_JAR
    static bool configured = [] {
        const Bundle build(qEnvironmentVariable("VORN_BUILD_DIR"));
        QVariantMap info = build.infoDictionary();
        QVariantMap bridge = info.value("QoJavaBridge").toMap();
        QVariantList libraries = bridge.value("Libraries").toList();
        libraries << QStringLiteral(VORN_BRIDGE_TEST_JAR);
        bridge.insert("Libraries", libraries);
        // The VM checks every JNI call: a bad reference ends the test run at once.
        bridge.insert("JavaOptions", bridge.value("JavaOptions").toString() + " -Xcheck:jni");
        info.insert("QoJavaBridge", bridge);
        QoJavaBridge::setSharedConfiguration(info, build.bundlePath());
        return true;
    }();
    Q_UNUSED(configured);
#endif
    return QoJavaBridge::javaBridge();
}

void PrintTo(const QVariant &value, std::ostream *out)
{
    QString text;
    QDebug(&text) << value;
    *out << text.toStdString();
}

LogCapture::LogCapture()
{
    std::lock_guard lock(logMutex);
    logLines.clear();
    previous_ = qInstallMessageHandler(&LogCapture::handler);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(previous_);
}

void LogCapture::handler(QtMsgType, const QMessageLogContext &, const QString &message)
{
    std::lock_guard lock(logMutex);
    logLines << message;
}

QStringList LogCapture::lines() const
{
    std::lock_guard lock(logMutex);
    return logLines;
}

int LogCapture::count(const QString &line) const
{
    return int(lines().count(line));
}

BridgeLogEnabled::BridgeLogEnabled()
{
    QLoggingCategory::setFilterRules(QStringLiteral("vorn.bridge=true"));
}

BridgeLogEnabled::~BridgeLogEnabled()
{
    QLoggingCategory::setFilterRules(QString());
}

void RecordingDelegate::javaBridgeEncounteredUnexpectedError(QoJavaBridge *)
{
    std::lock_guard lock(mutex_);
    ++unexpectedErrors_;
    unexpectedOnMain_ = unexpectedOnMain_ && MainThread::isMainThread();
}

void RecordingDelegate::javaBridgeEncounteredConfigError(QoJavaBridge *, const QString &error,
                                                         const QString &description)
{
    std::lock_guard lock(mutex_);
    configErrors_.append({error, description, MainThread::isMainThread()});
}

int RecordingDelegate::unexpectedErrors() const
{
    std::lock_guard lock(mutex_);
    return unexpectedErrors_;
}

bool RecordingDelegate::unexpectedErrorsOnMainThread() const
{
    std::lock_guard lock(mutex_);
    return unexpectedOnMain_;
}

QList<RecordingDelegate::Report> RecordingDelegate::configErrors() const
{
    std::lock_guard lock(mutex_);
    return configErrors_;
}
