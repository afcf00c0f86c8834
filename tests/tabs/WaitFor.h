#pragma once

// Waits for a condition, processing events, until it holds or 5 s have passed; then checks it, so a
// condition that never holds fails the test (Qt's QTRY_ macros only return when they give up).
#include <QDeadlineTimer>
#include <QTest>
#include <gtest/gtest.h>

#define WAIT_FOR(condition)                                                                                  \
    do {                                                                                                     \
        QDeadlineTimer deadline_(5000);                                                                      \
        while (!(condition) && !deadline_.hasExpired())                                                      \
            QTest::qWait(10);                                                                                \
        EXPECT_TRUE(condition) << #condition;                                                                \
    } while (false)
