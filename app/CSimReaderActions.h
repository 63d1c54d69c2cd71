#pragma once

#include <QObject>

#include <functional>
#include <string>
#include <vector>

class CSimPlatform;
class QAction;
class QMenu;

// "Unplug Reader" and "Plug Reader Back", offered only over the simulated readers: they pull
// the open reader's cable and put it back, so that what the window does when a reader goes
// and comes can be shown and tried without hardware. The program sees only what the simulated
// platform reports, as it would for a real cable.
class CSimReaderActions : public QObject {
    Q_OBJECT
public:
    // `openPath` gives the device path of the open reader; empty when none is open.
    CSimReaderActions(CSimPlatform& platform, std::function<std::string()> openPath,
                      QObject* parent);

    // Adds both items to `menu`, enabled when they can do something.
    void AddTo(QMenu& menu);

    QAction& UnplugAction() { return *m_unplug; }
    QAction& PlugBackAction() { return *m_plugBack; }

private:
    void Unplug();
    void PlugBack();

    CSimPlatform& m_platform;
    std::function<std::string()> m_openPath;
    QAction* m_unplug = nullptr;
    QAction* m_plugBack = nullptr;
    // The interfaces of each unplugged reader, the latest last; plugged back latest first.
    std::vector<std::vector<std::string>> m_unplugged;
};
