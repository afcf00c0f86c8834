#include "document/BackgroundCheckTimers.h"

#include <QCoreApplication>
#include <QTimer>

#include <memory>

BackgroundCheckTimers::Cancel BackgroundCheckTimers::after(double seconds, std::function<void()> fire)
{
    // Let go of from inside its own timeout: deleted once the event loop is back.
    std::shared_ptr<QTimer> timer(new QTimer, [](QTimer *done) {
        done->stop();
        done->deleteLater();
    });
    timer->setSingleShot(true);
    timer->setInterval(int(seconds * 1000));
    QObject::connect(timer.get(), &QTimer::timeout, QCoreApplication::instance(),
                     [weak = std::weak_ptr<QTimer>(timer), fire = std::move(fire)] {
                         if (!weak.expired())
                             fire();
                     });
    timer->start();
    // The pending call lives as long as the answer; calling it stops the timer.
    return [timer]() mutable { timer->stop(); };
}
