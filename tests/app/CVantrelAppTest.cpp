// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "app/CVantrelApp.h"
#include "outputwindow/COutputWindow.h"
#include "settings/CSettingsStore.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

TEST(CVantrelApp, NamesTheStoreAndRunsTheMainDialog) {
    int argc = 1;
    char name[] = "vantrel";
    char* argv[] = {name, nullptr};
    CVantrelApp app(argc, argv);
    EXPECT_EQ(QCoreApplication::organizationName(), "Corvasse");
    EXPECT_EQ(QCoreApplication::applicationName(), "Vantrel");
    EXPECT_EQ(app.Store().GetProfileString("Settings", "FontName", "Courier New"), "Courier New");

    QString title;
    bool hasDeviceList = false;
    QString afterClear = "not cleared";
    QTimer::singleShot(0, [&] {
        QWidget* window = QApplication::activeModalWidget();
        ASSERT_NE(window, nullptr);
        title = window->windowTitle();
        hasDeviceList = window->findChild<QComboBox*>("1002") != nullptr;
        auto* output = window->findChild<COutputWindow*>("1020");
        auto* clear = window->findChild<QPushButton*>("1010");
        ASSERT_NE(output, nullptr);
        ASSERT_NE(clear, nullptr);
        output->AppendText("text", OutputRole::Default, false);
        clear->click();
        output->FlushOutput();
        afterClear = output->toPlainText();
        window->close();
    });
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(title, "Vantrel");
    EXPECT_TRUE(hasDeviceList);
    EXPECT_EQ(afterClear, "");
}

TEST(CVantrelApp, CloseWhenShownEndsTheRunOnceTheReadersAreListed) {
    setenv("VANTREL_SIMULATE", "1", 1);
    setenv("VANTREL_CLOSE_WHEN_SHOWN", "1", 1);
    int argc = 1;
    char name[] = "vantrel";
    char* argv[] = {name, nullptr};
    CVantrelApp app(argc, argv);
    bool shown = false;
    QTimer::singleShot(0, [&] { shown = QApplication::activeModalWidget() != nullptr; });
    testing::internal::CaptureStdout();
    const int code = app.Run();
    const std::string out = testing::internal::GetCapturedStdout();
    unsetenv("VANTREL_CLOSE_WHEN_SHOWN");
    unsetenv("VANTREL_SIMULATE");
    EXPECT_TRUE(shown);
    EXPECT_EQ(code, 0);
    EXPECT_NE(out.find("shown with 11 readers listed\n  Vantrel Sim 2D Imager"), std::string::npos)
        << out;
}

TEST(CVantrelApp, HelpVersionAndUnknownOptionsPrintInsteadOfOpeningTheWindow) {
    struct CCase {
        std::vector<std::string> args;
        int code;
    };
    for (const CCase& c : std::vector<CCase>{{{"--help"}, 0},
                                             {{"-h"}, 0},
                                             {{"--help-all"}, 0},
                                             {{"--version"}, 0},
                                             {{"--frobnicate"}, 2}}) {
        std::vector<std::string> args = {"vantrel"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        int argc = int(argv.size());
        CVantrelApp app(argc, argv.data());
        bool windowShown = false;
        QTimer::singleShot(0, [&] {
            if (QWidget* window = QApplication::activeModalWidget()) {
                windowShown = true;
                window->close();
            }
        });
        EXPECT_EQ(app.Run(), c.code) << c.args.front();
        QCoreApplication::processEvents();
        EXPECT_FALSE(windowShown) << c.args.front();
        EXPECT_TRUE(app.Files().isEmpty());
    }
}

TEST(CVantrelApp, ArgumentsAfterADoubleDashAreFilesEvenWithADash) {
    std::vector<std::string> args = {"vantrel", "--", "-capture.txt", "b.txt"};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    int argc = int(argv.size());
    CVantrelApp app(argc, argv.data());
    EXPECT_EQ(app.Files(), QStringList({"-capture.txt", "b.txt"}));
}

} // namespace
