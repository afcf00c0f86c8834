#pragma once

#include <functional>

// Runs work on the application's main (GUI) thread.
namespace MainThread
{
// True on the process's first thread, which owns the application object; also while the
// application object is being torn down.
bool isMainThread();
// Queues fn on the main thread and returns at once. From the main thread it is still queued.
void post(std::function<void()> fn);
// Runs fn on the main thread and waits for it to finish. Called on the main thread it runs fn
// directly: blocking the main thread on itself would dead-lock.
void postAndWait(std::function<void()> fn);
} // namespace MainThread
