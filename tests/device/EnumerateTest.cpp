// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "device/CHidPort.h"
#include "device/CPlainDeviceList.h"
#include "device/CQueuedPoster.h"
#include "device/SupportedReaders.h"

#include "support/CFakeHidPlatform.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

using Items = std::vector<std::string>;

class EnumerateTest : public ::testing::Test {
protected:
    void Add(const std::string& path, uint16_t vendor, uint16_t product, uint16_t page,
             uint16_t usage, const std::string& name, const std::string& serial,
             const std::string& interfaceNumber = std::string()) {
        m_platform.AddInterface(
            {MakeInterfaceInfo(path, vendor, product, page, usage, name, serial, interfaceNumber)});
    }

    CFakeHidPlatform m_platform;
    CQueuedPoster m_poster;
    CReaderPort m_port{m_platform, m_poster};
    CPlainDeviceList m_list;
};

TEST(ListingRule, TableFirstThenTheReaderUsages) {
    CFakeHidPlatform platform;
    CQueuedPoster poster;
    const CReaderPort port(platform, poster);
    const auto listed = [&](uint16_t vendor, uint16_t product, uint16_t page, uint16_t usage) {
        CHidCaps caps;
        caps.usagePage = page;
        caps.usage = usage;
        return port.IsSupported({vendor, product, 0}, caps);
    };
    // Every table entry lists whatever its usages are, but a keyboard only by the
    // keyboard-mode rule.
    for (const CSupportedReader* r = kSupportedReaders; r->vendorId != 0; ++r) {
        EXPECT_TRUE(listed(r->vendorId, r->productId, 0x0001, 0x0002)) << r->productId;
        EXPECT_FALSE(listed(r->vendorId, r->productId, 0x0001, 0x0006)) << r->productId;
    }
    EXPECT_FALSE(listed(0x1209, 0x0009, 0x0001, 0x0002));
    EXPECT_FALSE(listed(0x1208, 0x0001, 0x0001, 0x0002));

    for (uint16_t usage : {0x4B00, 0x4A00, 0x6400, 0x6500, 0x6800, 0x6900}) {
        EXPECT_TRUE(listed(0x05E0, 0x1234, 0xFF45, usage)) << usage;
    }
    EXPECT_FALSE(listed(0x05E0, 0x1234, 0xFF45, 0x4C00));
    EXPECT_TRUE(listed(0x1209, 0x0005, 0xFF45, 0x4C00));
    EXPECT_TRUE(listed(0x05E0, 0x1234, 0xFFA0, 0x0001));
    EXPECT_FALSE(listed(0x05E0, 0x1234, 0xFFA0, 0x0002));
    EXPECT_TRUE(listed(0x05E0, 0x1234, 0x008C, 0x0002));
    EXPECT_FALSE(listed(0x05E0, 0x1234, 0x008C, 0x0001));
    EXPECT_TRUE(listed(0x1209, 0x0002, 0x008C, 0x0001));

    // The base port lists every interface.
    const CHidPort base(platform, poster);
    EXPECT_TRUE(base.IsSupported({0x05E0, 0x1234, 0}, CHidCaps{}));
}

TEST_F(EnumerateTest, DisplayNamesOfCompositeNoSerialAndQuestionMark) {
    Add("/dev/c0", 0x1209, 1, 0xFF45, 0x4B00, "Reader C", "SN1", "00");
    Add("/dev/c1", 0x1209, 1, 0xFF45, 0x4B00, "Reader C", "SN1", "01");
    Add("/dev/ca", 0x1209, 1, 0xFF45, 0x4B00, "Reader C", "SN1", "0a");
    Add("/dev/q1", 0x05E0, 1, 0x008C, 0x0002, "Reader Q", "?");
    Add("/dev/n", 0x05E0, 2, 0xFFA0, 0x0001, "Reader N", "");
    Add("/dev/q2", 0x05E0, 3, 0x008C, 0x0002, "Reader Q", "?");
    Add("/dev/kbd", 0x046D, 0xC31C, 0x0001, 0x0006, "Keyboard", "K1");
    Add("/dev/pos1", 0x05E0, 4, 0x008C, 0x0001, "Other Pos", "P1");
    CFakeInterface noAttributes{
        MakeInterfaceInfo("/dev/noattr", 0x1209, 1, 0x008C, 0x0002, "Hidden", "H1")};
    noAttributes.info.attributesValid = false;
    m_platform.AddInterface(noAttributes);

    m_port.Enumerate(&m_list, "", true);
    EXPECT_EQ(m_list.Items(),
              (Items{"Reader C - Interface 00 - SN1", "Reader C - Interface 01 - SN1",
                     "Reader C - Interface 0a - SN1", "Reader N - ", "Reader Q - NoSerNum0",
                     "Reader Q - NoSerNum1"}));
    EXPECT_EQ(m_port.NameTable().at("Reader Q - NoSerNum0"), "/dev/q1");
    EXPECT_EQ(m_port.NameTable().at("Reader Q - NoSerNum1"), "/dev/q2");
    EXPECT_EQ(m_port.NameTable().at("Reader C - Interface 01 - SN1"), "/dev/c1");
    EXPECT_EQ(m_port.NameTable().size(), 6u);
    EXPECT_EQ(m_platform.OpenCount(), 0) << "the list comes from what the platform reports";
}

TEST_F(EnumerateTest, AnInterfaceTheyNameThemselvesIsListedAsNamedButNeverChosenForWantOfOne) {
    CFakeInterface recording{
        MakeInterfaceInfo("recording:0", 0x1209, 1, 0x008C, 0x0002, "Imager", "")};
    recording.info.listName = "Recording: cap.txt";
    m_platform.AddInterface(recording);
    m_port.Enumerate(&m_list, "", true);
    EXPECT_EQ(m_list.Items(), Items{"Recording: cap.txt"});
    EXPECT_EQ(m_port.NameTable().at("Recording: cap.txt"), "recording:0");
    // With no stored name and no reader, nothing is opened by itself.
    EXPECT_EQ(m_list.CurrentIndex(), -1);

    Add("/dev/q1", 0x05E0, 1, 0x008C, 0x0002, "Reader Q", "?");
    m_port.Enumerate(&m_list, "", true);
    EXPECT_EQ(m_list.Items(), (Items{"Reader Q - NoSerNum0", "Recording: cap.txt"}));
    EXPECT_EQ(m_list.GetCurrentText(), "Reader Q - NoSerNum0");
    m_port.Enumerate(&m_list, "Recording: cap.txt", true);
    EXPECT_EQ(m_list.GetCurrentText(), "Recording: cap.txt");
}

TEST_F(EnumerateTest, NoSerialNumberingRestartsAndCountsUnlistedInterfaces) {
    Add("/dev/blank", 0x1209, 6, 0x008C, 0x0002, "", "?");
    Add("/dev/q1", 0x05E0, 1, 0x008C, 0x0002, "Reader Q", "?");
    m_port.Enumerate(&m_list, "", true);
    // The interface without a product string is not listed but took number 0.
    EXPECT_EQ(m_list.Items(), (Items{"Reader Q - NoSerNum1"}));
    EXPECT_EQ(m_port.NameTable().count("Device - NoSerNum0"), 0u);

    m_platform.Unplug("/dev/blank");
    m_port.Enumerate(&m_list, "", true);
    EXPECT_EQ(m_list.Items(), (Items{"Reader Q - NoSerNum0"}));
    // The table only grows: the stale name stays and still leads to its path.
    EXPECT_EQ(m_port.NameTable().at("Reader Q - NoSerNum1"), "/dev/q1");
    EXPECT_EQ(m_port.NameTable().at("Reader Q - NoSerNum0"), "/dev/q1");
}

TEST_F(EnumerateTest, DuplicateNamesGiveTwoItemsAndOneEntryForTheLastPath) {
    Add("/dev/first", 0x1209, 1, 0x008C, 0x0002, "Twin", "S");
    Add("/dev/second", 0x1209, 2, 0x008C, 0x0002, "Twin", "S");
    m_port.Enumerate(&m_list, "", true);
    EXPECT_EQ(m_list.Items(), (Items{"Twin - S", "Twin - S"}));
    EXPECT_EQ(m_port.NameTable().size(), 1u);
    EXPECT_EQ(m_port.NameTable().at("Twin - S"), "/dev/second");
}

TEST_F(EnumerateTest, SelectionByPrefixIgnoringCaseWithFallback) {
    Add("/dev/a", 0x1209, 1, 0x008C, 0x0002, "Beta", "2");
    Add("/dev/b", 0x1209, 2, 0x008C, 0x0002, "Alpha", "1");
    Add("/dev/c", 0x1209, 3, 0x008C, 0x0002, "Alpha", "0");
    Add("/dev/d", 0x1209, 4, 0x008C, 0x0002, "Gamma", "3");

    // A remembered name selects the first (alphabetical) item that begins with it.
    m_port.Enumerate(&m_list, "alpha", true);
    EXPECT_EQ(m_list.GetCurrentText(), "Alpha - 0");
    m_port.Enumerate(&m_list, "BETA - 2", true);
    EXPECT_EQ(m_list.GetCurrentText(), "Beta - 2");

    // A name that is gone falls back to the last name built, in enumeration order.
    m_port.Enumerate(&m_list, "Delta", true);
    EXPECT_EQ(m_list.GetCurrentText(), "Gamma - 3");
}

TEST_F(EnumerateTest, FallbackMayNameAnUnlistedInterface) {
    Add("/dev/a", 0x1209, 1, 0x008C, 0x0002, "Alpha", "1");
    Add("/dev/z", 0x1209, 2, 0x008C, 0x0002, "", "9");
    m_port.Enumerate(&m_list, "Nothing", true);
    EXPECT_EQ(m_list.Items(), (Items{"Alpha - 1"}));
    EXPECT_EQ(m_list.CurrentIndex(), -1) << "\"Device - 9\" is not in the list";
}

TEST_F(EnumerateTest, ClearingFirstKeepsTheCurrentText) {
    Add("/dev/a", 0x1209, 1, 0x008C, 0x0002, "Alpha", "1");
    Add("/dev/b", 0x1209, 2, 0x008C, 0x0002, "Beta", "2");
    m_port.Enumerate(&m_list, "Alpha", true);
    ASSERT_TRUE(m_list.SelectPrefix("Beta"));
    m_port.Enumerate(&m_list, "", true);
    EXPECT_EQ(m_list.Items(), (Items{"Alpha - 1", "Beta - 2"}));
    EXPECT_EQ(m_list.GetCurrentText(), "Beta - 2");

    // Without clearing, the items are added again.
    m_port.Enumerate(&m_list, "", false);
    EXPECT_EQ(m_list.GetCount(), 4);
}

TEST_F(EnumerateTest, WithoutAnInterfaceSetTheListStaysClearedAndUnselected) {
    Add("/dev/a", 0x1209, 1, 0x008C, 0x0002, "Alpha", "1");
    m_port.Enumerate(&m_list, "Alpha", true);
    ASSERT_EQ(m_list.GetCount(), 1);

    m_platform.SetEnumerateError(EIO);
    m_port.Enumerate(&m_list, "Alpha", true);
    EXPECT_EQ(m_list.GetCount(), 0);
    EXPECT_EQ(m_list.CurrentIndex(), -1);

    // An empty set selects nothing either.
    m_platform.SetEnumerateError(0);
    m_platform.Unplug("/dev/a");
    m_port.Enumerate(&m_list, "Alpha", true);
    EXPECT_EQ(m_list.CurrentIndex(), -1);
}

TEST_F(EnumerateTest, ListedReaderThatMayNotBeOpenedSaysAccessDenied) {
    CFakeInterface locked{
        MakeInterfaceInfo("/dev/hidraw7", 0x1209, 1, 0x008C, 0x0002, "Locked", "L1")};
    locked.openError = EACCES;
    m_platform.AddInterface(locked);
    m_port.Enumerate(&m_list, "", true);
    ASSERT_EQ(m_list.Items(), (Items{"Locked - L1"}));
    EXPECT_FALSE(m_port.Open("Locked - L1", 0x07E8));
    EXPECT_EQ(m_port.LastError(), EACCES);
}

TEST_F(EnumerateTest, OpenByDisplayNameUsesTheTableElseThePath) {
    Add("/dev/a", 0x1209, 1, 0x008C, 0x0002, "Alpha", "1");
    m_port.Enumerate(nullptr, "", false);
    ASSERT_TRUE(m_port.Open("Alpha - 1", 0x07E8));
    EXPECT_TRUE(m_platform.Link("/dev/a") != nullptr);
    m_port.Close();
    ASSERT_TRUE(m_port.Open("/dev/a", 0x07E8));
    EXPECT_EQ(m_platform.OpenCount(), 2);
}

TEST(PlainDeviceList, SortedWithSelectionFollowingItsItem) {
    CPlainDeviceList list;
    list.AddItem("beta");
    list.AddItem("Alpha");
    ASSERT_TRUE(list.SelectPrefix("BE"));
    list.AddItem("alpha 2");
    list.AddItem("Zulu");
    EXPECT_EQ(list.Items(), (Items{"Alpha", "alpha 2", "beta", "Zulu"}));
    EXPECT_EQ(list.GetCurrentText(), "beta");
    list.DeleteItem(0);
    EXPECT_EQ(list.GetCurrentText(), "beta");
    EXPECT_FALSE(list.SelectPrefix("x"));
    EXPECT_EQ(list.GetCurrentText(), "beta") << "a failed selection keeps the old one";
    list.DeleteItem(1);
    EXPECT_EQ(list.GetCurrentText(), "");
}

} // namespace
