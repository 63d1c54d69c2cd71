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

} // namespace
