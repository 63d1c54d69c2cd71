#pragma once

#include "device/CHidPort.h"
#include "device/CNotifier.h"
#include "support/CDiscardingPoster.h"
#include "support/CFakeHidPlatform.h"

#include <string>

// A port that never opens, for driving device types without a reader: their writes do nothing
// and their messages go nowhere (also the notifier's, so a long fuzz run keeps no history).
class CClosedPort {
public:
    CHidPort& Port() { return m_port; }
    CNotifier& Notifier() { return m_notifier; }

private:
    class CSilentNotifier : public CNotifier {
    public:
        void ShowMessage(const std::string& /*text*/) override {}
    };

    CFakeHidPlatform m_platform; // offers no interface
    CDiscardingPoster m_poster;
    CHidPort m_port{m_platform, m_poster};
    CSilentNotifier m_notifier;
};
