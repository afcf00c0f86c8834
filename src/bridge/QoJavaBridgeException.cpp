#include "bridge/QoJavaBridgeException.h"

QoJavaBridgeException::QoJavaBridgeException(QString name, QString reason)
    : name_(std::move(name)), reason_(std::move(reason)), what_((name_ + ": " + reason_).toUtf8())
{
}
