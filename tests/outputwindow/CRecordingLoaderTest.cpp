// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "outputwindow/CRecordingLoader.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <sys/stat.h>
#include <thread>

namespace {

// Waits until the loader calls back that it has ended.
class CLoad {
public:
    explicit CLoad(const QString& path)
        : m_loader(QFile::encodeName(path).toStdString(), [this] {
              const std::lock_guard<std::mutex> lock(m_mutex);
              m_done = true;
              m_ended.notify_all();
          }) {}
    CRecordingLoader& Wait() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_ended.wait(lock, [this] { return m_done; });
        return m_loader;
    }
    CRecordingLoader& Loader() { return m_loader; }

private:
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_done = false;
    CRecordingLoader m_loader;
};

QString Data(const char* name) {
    return QStringLiteral(VANTREL_TEST_DATA_DIR "/recordings/") + QLatin1String(name);
}

TEST(CRecordingLoader, ReadsARegularFileWholeAndRefusesWhatIsNoneUnread) {
    {
        CLoad load(Data("two-devices.txt"));
        const CRecordingLoader& loader = load.Wait();
        EXPECT_EQ(loader.Result(), CRecordingLoader::Outcome::Read);
        EXPECT_EQ(loader.Error(), 0);
        EXPECT_EQ(loader.BytesRead(), loader.Size());
        EXPECT_EQ(loader.File()->Devices().size(), 2u);
        EXPECT_EQ(loader.File()->ProblemCount(), 0u);
    }
    QTemporaryDir folder;
    const QString fifo = folder.filePath("fifo");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const struct {
        QString path;
        CRecordingLoader::Outcome outcome;
        int error;
    } cases[] = {
        {fifo, CRecordingLoader::Outcome::NotRegular, 0},
        {"/dev/zero", CRecordingLoader::Outcome::NotRegular, 0},
        {folder.path(), CRecordingLoader::Outcome::Directory, 0},
        {folder.filePath("missing"), CRecordingLoader::Outcome::Unreadable, ENOENT},
    };
    for (const auto& c : cases) {
        CLoad load(c.path);
        const CRecordingLoader& loader = load.Wait();
        EXPECT_EQ(loader.Result(), c.outcome) << c.path.toStdString();
        EXPECT_EQ(loader.Error(), c.error) << c.path.toStdString();
        EXPECT_EQ(loader.BytesRead(), 0u) << c.path.toStdString();
    }
}

// Cancelled part way, the reading keeps what it read, ending on a whole line.
TEST(CRecordingLoader, ACancelledReadingKeepsWhatItReadInWholeLines) {
    QTemporaryDir folder;
    const QString path = folder.filePath("endless.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QFile head(Data("hidpos-labels.txt"));
    ASSERT_TRUE(head.open(QIODevice::ReadOnly));
    file.write(head.readAll());
    // Reports without end, cut in the middle of a line; sparse zeros make it long.
    const QByteArray report = "E: 0.5 3 02 03 5d\n";
    for (int i = 0; i < 200000; ++i) {
        file.write(report);
    }
    file.write("E: 0.5 3 02");
    ASSERT_TRUE(file.resize(file.size() + (qint64(8) << 30)));
    file.close();

    CLoad load(path);
    while (load.Loader().BytesRead() == 0) {
        std::this_thread::yield();
    }
    load.Loader().Cancel();
    const CRecordingLoader& loader = load.Wait();
    EXPECT_TRUE(loader.Cancelled());
    EXPECT_EQ(loader.Result(), CRecordingLoader::Outcome::Read);
    EXPECT_LT(loader.BytesRead(), loader.Size());
    ASSERT_EQ(loader.File()->Devices().size(), 1u);
    EXPECT_GE(loader.File()->Devices()[0].reports.size(), 5u);
    EXPECT_EQ(loader.File()->ProblemCount(), 0u);
}

} // namespace
