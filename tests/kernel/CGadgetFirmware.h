#pragma once

#include "GuestSupport.h"
#include "sim/CSimFirmware.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

// Plays one interface's firmware on the gadget side (/dev/hidgN): every output report the
// host sends is recorded as it arrived and handed to a simulated reader's firmware, whose
// answers go out as input reports on the interrupt IN endpoint. Input reports are padded to
// their full length, as a USB device sends them; the id byte 0x00 of an interface without
// report ids never goes on the wire.
class CGadgetFirmware : public CSimFirmwareHost {
public:
    using Bytes = guest::Bytes;

    struct CLayout {
        bool numbered = true;
        size_t inputLength = 0;  // on the wire, with the id byte when numbered
        size_t outputLength = 0; // the longest output report on the wire
        size_t packetLength = 64;
        bool outEndpoint = true;
        std::set<uint8_t> featureIds; // reports that arrive through SET_REPORT(Feature)
    };

    CGadgetFirmware(std::string node, std::unique_ptr<CSimFirmware> firmware, CLayout layout);
    ~CGadgetFirmware() override;

    bool Start();
    void Stop();
    // The simulated firmware's clock runs only while ticking, so it reads no labels of its own
    // while a check sends them.
    void SetTicking(bool ticking) { m_ticking = ticking; }

    // Sends one input report as given (byte 0 = report id, 0x00 without ids), padded; waits at
    // most `timeoutMs` for the endpoint. False when the host did not take the previous one.
    bool Send(const Bytes& report, int timeoutMs = 1000);
    // Sends exactly these bytes, for the throughput measurement. -1 when the endpoint is busy.
    long SendWire(const uint8_t* data, size_t length, int timeoutMs);

    // What arrived from the host, each report as it came off the bus.
    std::vector<Bytes> TakeReceived();
    size_t ReceivedCount();
    std::vector<Bytes> TakeFeatures();

    void SendInputReport(const std::vector<uint8_t>& report) override;

private:
    void Serve();
    void Deliver(const Bytes& wire);

    std::string m_node;
    std::unique_ptr<CSimFirmware> m_firmware;
    CLayout m_layout;
    int m_fd = -1;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_ticking{false};
    std::mutex m_writeMutex;
    std::mutex m_mutex;
    std::vector<Bytes> m_received;
    std::vector<Bytes> m_features;
    Bytes m_partial;
};
