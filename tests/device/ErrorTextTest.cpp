#include "device/ErrorText.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

// The texts follow the system's own, whatever the machine's language.
TEST(ErrnoText, IsTheSystemsTextForTheCode) {
    for (const int code : {ENODEV, EACCES, EIO, ETIMEDOUT, EPIPE}) {
        EXPECT_EQ(ErrnoText(code), std::strerror(code)) << code;
    }
    EXPECT_NE(ErrnoText(ENODEV), ErrnoText(EACCES));
}

TEST(ErrnoText, AFailureWithoutACodeStillSaysSomething) {
    EXPECT_EQ(ErrnoText(0), "unknown error");
    EXPECT_FALSE(ErrnoText(1234567).empty());
}

// The reader thread and the GUI thread may both turn codes into text at once.
TEST(ErrnoText, GivesEachThreadItsOwnText) {
    std::vector<std::string> texts(2);
    std::thread a([&] {
        for (int i = 0; i < 1000; ++i) {
            texts[0] = ErrnoText(ENODEV);
        }
    });
    std::thread b([&] {
        for (int i = 0; i < 1000; ++i) {
            texts[1] = ErrnoText(EACCES);
        }
    });
    a.join();
    b.join();
    EXPECT_EQ(texts[0], std::strerror(ENODEV));
    EXPECT_EQ(texts[1], std::strerror(EACCES));
}
