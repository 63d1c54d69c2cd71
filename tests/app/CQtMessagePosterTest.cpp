// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "app/CQtMessagePoster.h"

#include <QCoreApplication>
#include <QObject>

#include <gtest/gtest.h>

#include <thread>

namespace {

class CWakeCounter : public QObject {
public:
    int wakes = 0;
    bool event(QEvent* event) override {
        if (event->type() == CQtMessagePoster::kWakeEvent) {
            ++wakes;
            return true;
        }
        return QObject::event(event);
    }
};

TEST(CQtMessagePoster, ReaderMessagesArriveInOrderWithOneWakeUpPerBatch) {
    CWakeCounter receiver;
    CQtMessagePoster poster(&receiver);
    constexpr int kCount = 20000;
    std::thread reader([&] {
        for (int i = 0; i < kCount; ++i) {
            CHidMessage message;
            message.messageId = 1000;
            message.generation = 7;
            message.report = {uint8_t(i), uint8_t(i >> 8)};
            poster.PostHidMessage(std::move(message));
        }
    });
    std::vector<CHidMessage> taken;
    while (int(taken.size()) < kCount) {
        QCoreApplication::processEvents();
        poster.TakeAll(taken);
    }
    reader.join();
    QCoreApplication::processEvents();
    for (int i = 0; i < kCount; ++i) {
        ASSERT_EQ(taken[i].report, std::vector<uint8_t>({uint8_t(i), uint8_t(i >> 8)})) << i;
    }
    EXPECT_GE(receiver.wakes, 1);

    // A wake-up is posted only when the queue turns non-empty after a take.
    receiver.wakes = 0;
    poster.PostHidMessage(CHidMessage{});
    poster.PostHidMessage(CHidMessage{});
    QCoreApplication::processEvents();
    EXPECT_EQ(receiver.wakes, 1);
}

TEST(CQtMessagePoster, ATapSeesEveryMessageInOrderUntilItIsRemoved) {
    CWakeCounter receiver;
    CQtMessagePoster poster(&receiver);
    // Called on the reader thread, under the poster's lock.
    std::vector<int> tapped;
    poster.SetTap([&](const CHidMessage& message) { tapped.push_back(message.errorCode); });
    std::thread reader([&] {
        for (int i = 0; i < 20000; ++i) {
            CHidMessage message;
            message.errorCode = i;
            poster.PostHidMessage(std::move(message));
        }
    });
    std::vector<CHidMessage> taken;
    while (taken.size() < 1000) {
        poster.TakeAll(taken);
    }
    // Removed while the reader posts: once SetTap returns, the tap is not called again.
    poster.SetTap({});
    const std::vector<int> seen = tapped;
    reader.join();
    poster.TakeAll(taken);
    QCoreApplication::processEvents();
    ASSERT_EQ(taken.size(), 20000u);
    EXPECT_EQ(tapped, seen);
    ASSERT_GE(seen.size(), 1000u);
    for (size_t i = 0; i < seen.size(); ++i) {
        ASSERT_EQ(seen[i], taken[i].errorCode) << i;
    }
}

TEST(CQtMessagePoster, AFullQueueDropsReportsTheTapStillSeesAndCountsThem) {
    CWakeCounter receiver;
    CQtMessagePoster poster(&receiver, 2 * (sizeof(CHidMessage) + 1));
    int tapped = 0;
    poster.SetTap([&](const CHidMessage&) { ++tapped; });
    for (int i = 0; i < 5; ++i) {
        CHidMessage message;
        message.generation = 1;
        message.report = {uint8_t(i)};
        poster.PostHidMessage(std::move(message));
    }
    std::vector<CHidMessage> taken;
    poster.TakeAll(taken);
    CHidMessage next;
    next.generation = 1;
    next.report = {5};
    poster.PostHidMessage(std::move(next));
    poster.TakeAll(taken);
    QCoreApplication::processEvents();
    EXPECT_EQ(tapped, 6); // the recording loses nothing
    ASSERT_EQ(taken.size(), 3u);
    EXPECT_EQ(taken[1].report, std::vector<uint8_t>{1});
    EXPECT_EQ(taken[2].report, std::vector<uint8_t>{5});
    EXPECT_EQ(taken[2].droppedBefore, 3u);
}

} // namespace
