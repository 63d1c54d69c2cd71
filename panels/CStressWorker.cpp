// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "panels/CStressWorker.h"

#include "panels/CPanelTemplate.h"

#include <chrono>

const int CStressWorker::kCycleClicks[4] = {PanelControl::Disable, PanelControl::BeeperOff,
                                            PanelControl::Enable, PanelControl::BeeperOn};

CStressWorker::CStressWorker(CPostClick postClick)
    : m_postClick(std::move(postClick)), m_thread(&CStressWorker::Run, this) {}

CStressWorker::~CStressWorker() {
    m_cancelled.store(true, std::memory_order_release);
    m_thread.join();
}

void CStressWorker::Run() {
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        for (int controlId : kCycleClicks) {
            if (m_cancelled.load(std::memory_order_acquire)) {
                m_finished.store(true, std::memory_order_release);
                return;
            }
            m_postClick(controlId);
            std::this_thread::sleep_for(std::chrono::milliseconds(kPauseMs));
        }
    }
    m_finished.store(true, std::memory_order_release);
}
