#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// A misuse of the bridge: a Java class, method or constructor that does not exist. These are
// programming errors; worker-thread entries catch them, log them and end their action as failed.
// name() is one of "QoJavaBridgeClassNotFound", "QoJavaBridgeMethodNotFound" and
// "QoJavaBridgeConstructorNotFound".
class QoJavaBridgeException : public std::exception
{
public:
    QoJavaBridgeException(QString name, QString reason);

    QString name() const { return name_; }
    QString reason() const { return reason_; }
    const char *what() const noexcept override { return what_.constData(); }

private:
    QString name_;
    QString reason_;
    QByteArray what_;
};
