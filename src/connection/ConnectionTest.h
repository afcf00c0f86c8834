#pragma once

#include "bridge/QoJavaObject.h"
#include "client/VornRootClient.h"

#include <QObject>
#include <QString>

#include <memory>

// One test of a connection's values against its database, on a detached thread attached to the
// Java VM, through a backend root of its own. The root is connected, read, ended and
// de-initialised by the test's own thread, so a test that was cancelled or replaced by a newer one
// can never end another test's root. The result reaches the main thread through finished; when
// the object is gone by then (its view moved on), the result is dropped.
class ConnectionTest : public QObject
{
    Q_OBJECT

public:
    struct Target {
        QString type;
        QString server;
        QString port;
        // The database name, or for a local-file type the file's URL string (its bookmark's key).
        QString database;
        QString userName;
        QString password;
        bool localFile = false;
        // Seconds the backend waits for the database.
        int timeoutSeconds = 10;
        // The backend class the test's root is made of; tests name one that cannot be made.
        QString backendClassName = QString::fromLatin1(VornRootClient::className);
    };

    explicit ConnectionTest(QObject *parent = nullptr);
    ~ConnectionTest() override;

    // Starts the test; call once, on the main thread, after the VM has started.
    void start(const Target &target);
    // Gives up the connect in progress; the thread still finishes and ends its root.
    void cancel();
    bool isRunning() const { return running_; }
    // Test threads that have not finished yet, of every test: a cancelled test's thread still
    // ends its root before it goes.
    static int runningThreads();

    // The result text for an outcome: "TIME_OUT" is told in words.
    static QString resultText(bool successful, const QString &errorMessage);
    // For a file text that names no local file.
    static QString noLocalBookmarkText();

signals:
    void finished(bool successful, const QString &resultText);

private:
    struct Shared;
    struct Outcome {
        bool successful = false;
        QString text;
    };
    static void run(std::shared_ptr<Shared> shared, Target target);
    static Outcome connect(const std::shared_ptr<Shared> &shared, const Target &target);
    // The path of a local file's text (a path or a file URL); empty for any other text.
    static QString localDatabasePath(const QString &file);
    void complete(const Outcome &outcome);

    std::shared_ptr<Shared> shared_;
    bool running_ = false;
};
