// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "device/CHidPort.h"
#include "device/CQueuedPoster.h"
#include "settings/CDisplaySettings.h"
#include "settings/CMemorySettingsStore.h"
#include "support/CRecordingNotifier.h"
#include "support/CRecordingSink.h"

// A reader port that reads, over `TPlatform` (CFakeHidPlatform, or CSimPlatform for the
// simulated readers): its messages wait in a queue for the test's thread, which hands them to
// a device type writing to `sink`, as the main dialog does on its own thread.
template <class TPlatform> struct CReaderRig {
    TPlatform platform;
    CQueuedPoster poster;
    CReaderPort port{platform, poster};
    CRecordingSink sink;
    CRecordingNotifier notifier{&sink};
    CMemorySettingsStore store;
    CDisplaySettings settings{&store};
};
