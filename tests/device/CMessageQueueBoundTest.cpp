// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "device/CQueuedPoster.h"

#include <gtest/gtest.h>

namespace {

CHidMessage Report(uint64_t generation, uint8_t value, size_t length = 8) {
    CHidMessage message;
    message.messageId = 1;
    message.generation = generation;
    message.report.assign(length, value);
    return message;
}

constexpr size_t kReportCost = sizeof(CHidMessage) + 8;

TEST(CMessageQueueBound, PastTheBoundReportsAreDroppedAndTheNextMessageCarriesTheirCount) {
    CQueuedPoster poster(3 * kReportCost);
    for (uint8_t i = 0; i < 10; ++i) {
        poster.PostHidMessage(Report(1, i));
    }
    EXPECT_EQ(poster.Size(), 3u);
    // Taking frees the room; the next report says how many were lost before it.
    std::vector<CHidMessage> taken;
    poster.TakeAll(taken, 0);
    poster.PostHidMessage(Report(1, 10));
    poster.PostHidMessage(Report(1, 11));
    poster.TakeAll(taken, 0);
    ASSERT_EQ(taken.size(), 5u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(taken[i].report[0], i);
        EXPECT_EQ(taken[i].droppedBefore, 0u);
    }
    EXPECT_EQ(taken[3].report[0], 10);
    EXPECT_EQ(taken[3].droppedBefore, 7u);
    EXPECT_EQ(taken[4].droppedBefore, 0u);
}

TEST(CMessageQueueBound, AnErrorAlwaysJoinsAndDropsOfAReplacedReaderAreForgotten) {
    struct CCase {
        const char* name;
        CHidMessage next;
        bool joins;
        uint64_t carried;
    };
    CHidMessage error = Report(1, 0, 0);
    error.errorCode = 19;
    const CCase cases[] = {
        {"an error of the same reader, over the bound", error, true, 2},
        {"a report of the next open", Report(2, 9), true, 0},
        {"a report of the same reader, still full", Report(1, 9), false, 0},
    };
    for (const CCase& c : cases) {
        CMessageQueueBound bound(kReportCost);
        CHidMessage first = Report(1, 0);
        ASSERT_TRUE(bound.Admit(first));
        for (int i = 0; i < 2; ++i) {
            CHidMessage dropped = Report(1, 1);
            EXPECT_FALSE(bound.Admit(dropped));
        }
        EXPECT_EQ(bound.PendingDrops(), 2u);
        if (c.next.generation != 1) {
            bound.Release(first);
        }
        CHidMessage next = c.next;
        EXPECT_EQ(bound.Admit(next), c.joins) << c.name;
        if (c.joins) {
            EXPECT_EQ(next.droppedBefore, c.carried) << c.name;
            EXPECT_EQ(bound.PendingDrops(), 0u) << c.name;
        } else {
            EXPECT_EQ(bound.PendingDrops(), 3u) << c.name;
        }
    }
}

} // namespace
