#pragma once

#include <atomic>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

class CHidPlatform;
class CSettingsStore;
struct CDecodeCommand;

// The terminal tool: the readers from a terminal, live and from recordings. Exit codes: 0 done,
// 1 the device or a command failed, 2 bad usage.
class CCliApp {
public:
    static constexpr int kDone = 0;
    static constexpr int kFailed = 1;
    static constexpr int kUsage = 2;

    // `stop` ends a running monitor or wait (set from a signal handler).
    CCliApp(CHidPlatform& platform, CSettingsStore& store, std::ostream& out, std::ostream& err,
            const std::atomic<bool>& stop, bool outIsTerminal);

    int Run(const std::vector<std::string>& args);

private:
    int List(const std::vector<std::string>& args);
    int Monitor(const std::vector<std::string>& args);
    int Send(const std::vector<std::string>& args);
    int Describe(const std::vector<std::string>& args);
    int Replay(const std::vector<std::string>& args);

    int Usage(const std::string& problem);
    // Parses the options every decoding subcommand shares; kContinue when the subcommand goes on.
    static constexpr int kContinue = -1;
    int ParseDecodeCommand(const std::vector<std::string>& args, const char* help,
                           CDecodeCommand& command);

    CHidPlatform& m_platform;
    CSettingsStore& m_store;
    std::ostream& m_out;
    std::ostream& m_err;
    const std::atomic<bool>& m_stop;
    bool m_outIsTerminal;
};
