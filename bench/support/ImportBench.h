#pragma once

// What the import benchmarks need to drive an ImportController as the document does: the tests'
// owner, which reserves the root, and a wait that lets the controller's threads report.
#include "../../tests/support/ImportOwner.h"

#include <QCoreApplication>
#include <QTimer>

#include <functional>

namespace ImportBench
{

// Sleeps between the events (a timer wakes it now and then), so the wait takes no core of its own.
inline void waitUntil(const std::function<bool()> &done)
{
    QTimer wake;
    wake.start(50);
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace ImportBench
