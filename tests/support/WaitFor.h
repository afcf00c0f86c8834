#pragma once

// Waiting for a condition while the event loop runs. Qt Test's own retrying macros cannot be used
// under GoogleTest: when they give up they only return, so the test passes. These check the condition
// once more with GoogleTest after the wait, so a condition that never holds fails the test.
#include <QDeadlineTimer>
#include <QTest>
#include <gtest/gtest.h>

#define VORN_WAIT_UNTIL(condition, timeoutMs)                                                                \
    do {                                                                                                     \
        QDeadlineTimer vornDeadline_(timeoutMs);                                                             \
        while (!(condition) && !vornDeadline_.hasExpired())                                                  \
            QTest::qWait(10);                                                                                \
    } while (false)

// Non-fatal: the test goes on after a failure.
#define WAIT_FOR(condition)                                                                                  \
    do {                                                                                                     \
        VORN_WAIT_UNTIL(condition, 5000);                                                                    \
        EXPECT_TRUE(condition) << #condition;                                                                \
    } while (false)

// Fatal: the test function returns after a failure.
#define ASSERT_WAIT_FOR_MS(condition, timeoutMs)                                                             \
    do {                                                                                                     \
        VORN_WAIT_UNTIL(condition, timeoutMs);                                                               \
        ASSERT_TRUE(condition) << #condition;                                                                \
    } while (false)
#define ASSERT_WAIT_FOR(condition) ASSERT_WAIT_FOR_MS(condition, 5000)

#define ASSERT_WAIT_FOR_EQ_MS(actual, expected, timeoutMs)                                                   \
    do {                                                                                                     \
        VORN_WAIT_UNTIL((actual) == (expected), timeoutMs);                                                  \
        ASSERT_TRUE((actual) == (expected)) << #actual " == " #expected;                                     \
    } while (false)
#define ASSERT_WAIT_FOR_EQ(actual, expected) ASSERT_WAIT_FOR_EQ_MS(actual, expected, 5000)
