#include "app/CSimReaderActions.h"

#include "sim/CSimPlatform.h"

#include <QAction>
#include <QMenu>

#include <algorithm>

CSimReaderActions::CSimReaderActions(CSimPlatform& platform, std::function<std::string()> openPath,
                                     QObject* parent)
    : QObject(parent), m_platform(platform), m_openPath(std::move(openPath)),
      m_unplug(new QAction(tr("Unplug Reader"), this)),
      m_plugBack(new QAction(tr("Plug Reader Back"), this)) {
    connect(m_unplug, &QAction::triggered, this, &CSimReaderActions::Unplug);
    connect(m_plugBack, &QAction::triggered, this, &CSimReaderActions::PlugBack);
}

void CSimReaderActions::AddTo(QMenu& menu) {
    m_unplug->setEnabled(!m_openPath().empty());
    m_plugBack->setEnabled(!m_unplugged.empty());
    menu.addAction(m_unplug);
    menu.addAction(m_plugBack);
}

void CSimReaderActions::Unplug() {
    const std::string path = m_openPath();
    if (path.empty())
        return;
    std::vector<CHidInterfaceInfo> present;
    int error = 0;
    m_platform.EnumerateInterfaces(present, error);
    const auto open =
        std::find_if(present.begin(), present.end(),
                     [&](const CHidInterfaceInfo& info) { return info.path == path; });
    if (open == present.end())
        return;
    // A cable carries every interface of a composite reader.
    std::vector<std::string> paths{path};
    if (!open->interfaceNumber.empty()) {
        for (const CHidInterfaceInfo& info : present) {
            if (info.path != path && !info.interfaceNumber.empty() &&
                info.attributes.vendorId == open->attributes.vendorId &&
                info.attributes.productId == open->attributes.productId &&
                info.serial == open->serial && info.product == open->product)
                paths.push_back(info.path);
        }
    }
    for (const std::string& unplug : paths)
        m_platform.Unplug(unplug);
    m_unplugged.push_back(std::move(paths));
}

void CSimReaderActions::PlugBack() {
    if (m_unplugged.empty())
        return;
    for (const std::string& path : m_unplugged.back())
        m_platform.Plug(path);
    m_unplugged.pop_back();
}
