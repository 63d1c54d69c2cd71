#include "platform/CHidPlatform.h"
#include "hidraw/CHidrawPlatform.h"
#include "sim/CSimPlatform.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Restores VANTREL_SIMULATE whatever the test sets.
class CSimulateVariable {
public:
    CSimulateVariable() {
        const char* value = std::getenv("VANTREL_SIMULATE");
        m_had = value != nullptr;
        m_value = m_had ? value : "";
    }
    ~CSimulateVariable() {
        if (m_had) {
            setenv("VANTREL_SIMULATE", m_value.c_str(), 1);
        } else {
            unsetenv("VANTREL_SIMULATE");
        }
    }

private:
    bool m_had;
    std::string m_value;
};

} // namespace

TEST(CreateHidPlatformTest, SimulatedOnlyWhenAskedForExactly) {
    CSimulateVariable restore;
    setenv("VANTREL_SIMULATE", "1", 1);
    auto simulated = CreateHidPlatform();
    EXPECT_NE(dynamic_cast<CSimPlatform*>(simulated.get()), nullptr);

    for (const char* value : {"0", "", "yes", "11"}) {
        setenv("VANTREL_SIMULATE", value, 1);
        auto real = CreateHidPlatform();
        EXPECT_NE(dynamic_cast<CHidrawPlatform*>(real.get()), nullptr) << value;
    }
    unsetenv("VANTREL_SIMULATE");
    auto real = CreateHidPlatform();
    ASSERT_NE(dynamic_cast<CHidrawPlatform*>(real.get()), nullptr);
    // The real backend lists this machine's hidraw nodes (none here) without failing, and none
    // of the simulated readers appear in it.
    std::vector<CHidInterfaceInfo> list;
    int error = 0;
    ASSERT_TRUE(real->EnumerateInterfaces(list, error)) << error;
    for (const CHidInterfaceInfo& info : list) {
        EXPECT_NE(info.path.rfind("sim:", 0), 0u) << info.path;
    }
}
