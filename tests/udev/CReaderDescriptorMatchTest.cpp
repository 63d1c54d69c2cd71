#include "udev/CReaderDescriptorMatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using Bytes = std::vector<uint8_t>;
using Collections = std::vector<CReaderDescriptorMatch::CCollection>;

// A descriptor from the real-data folder: '#' lines are comments, the rest hex bytes.
Bytes LoadRealDescriptor(const std::string& name) {
    std::ifstream file(std::string(VANTREL_SHARED_DIR) + "/realdata/" + name);
    EXPECT_TRUE(file) << name;
    Bytes bytes;
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream words(line);
        std::string word;
        while (words >> word)
            bytes.push_back(static_cast<uint8_t>(std::stoul(word, nullptr, 16)));
    }
    return bytes;
}

Collections Read(const Bytes& bytes, bool expectOk = true) {
    Collections collections;
    EXPECT_EQ(CReaderDescriptorMatch::ReadCollections(bytes.data(), bytes.size(), collections),
              expectOk);
    return collections;
}

bool IsReader(const Bytes& bytes) {
    return CReaderDescriptorMatch::IsReaderDescriptor(bytes.data(), bytes.size());
}

TEST(UdevRealDescriptors, ReaderInterfacesMatchAndOthersDoNot) {
    struct {
        const char* file;
        CReaderDescriptorMatch::CCollection tlc;
        bool reader;
    } const cases[] = {
        {"ff45-4b00-handheld.hex", {0xFF45, 0x4B00}, true},
        {"hidpos-8c-0002.hex", {0x008C, 0x0002}, true},
        {"ff45-a000-flash.hex", {0xFF45, 0xA000}, false},
        {"keyboard-0001-0006.hex", {0x0001, 0x0006}, false},
    };
    for (const auto& c : cases) {
        const Bytes bytes = LoadRealDescriptor(c.file);
        EXPECT_EQ(Read(bytes), Collections{c.tlc}) << c.file;
        EXPECT_EQ(IsReader(bytes), c.reader) << c.file;
    }
}

TEST(UdevRealDescriptors, EveryTruncationIsRefusedWithoutReadingPastTheEnd) {
    const Bytes full = LoadRealDescriptor("hidpos-8c-0002.hex");
    for (size_t length = 1; length < full.size(); ++length) {
        const Bytes prefix(full.begin(), full.begin() + static_cast<long>(length));
        EXPECT_FALSE(IsReader(prefix)) << length;
    }
}

TEST(UdevReaderUsage, OnlyTheListedPairs) {
    EXPECT_TRUE(CReaderDescriptorMatch::IsReaderUsage(0xFF45, 0x6900));
    EXPECT_TRUE(CReaderDescriptorMatch::IsReaderUsage(0xFFA0, 0x0001));
    EXPECT_FALSE(CReaderDescriptorMatch::IsReaderUsage(0xFF45, 0x4C00));
    EXPECT_FALSE(CReaderDescriptorMatch::IsReaderUsage(0xFFA0, 0x0002));
    // The POS page's usage 1 is accepted only through the supported-reader ids.
    EXPECT_FALSE(CReaderDescriptorMatch::IsReaderUsage(0x008C, 0x0001));
}

TEST(UdevCollections, ReaderInASecondTopLevelCollectionCounts) {
    const Bytes bytes = {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0xC0, // keyboard
                         0x06, 0xA0, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0xC0};
    EXPECT_EQ(Read(bytes), (Collections{{0x0001, 0x0006}, {0xFFA0, 0x0001}}));
    EXPECT_TRUE(IsReader(bytes));
}

TEST(UdevCollections, NestedCollectionsAreNotTopLevel) {
    const Bytes bytes = {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05,
                         0x8C, 0x09, 0x02, 0xA1, 0x02, 0xC0, 0xC0};
    EXPECT_EQ(Read(bytes), (Collections{{0x0001, 0x0006}}));
    EXPECT_FALSE(IsReader(bytes));
}

TEST(UdevCollections, ExtendedUsageCarriesItsOwnPage) {
    const Bytes bytes = {0x05, 0x01, 0x0B, 0x02, 0x00, 0x8C, 0x00, 0xA1, 0x01, 0xC0};
    EXPECT_EQ(Read(bytes), (Collections{{0x008C, 0x0002}}));
}

TEST(UdevCollections, PopRestoresTheUsagePageAndMainItemsClearUsages) {
    // Push saves page 1, the vendor page is set and popped again before the collection.
    const Bytes popped = {0x05, 0x01, 0xA4, 0x06, 0x45, 0xFF, 0xB4,
                          0x0A, 0x00, 0x4B, 0xA1, 0x01, 0xC0};
    EXPECT_EQ(Read(popped), (Collections{{0x0001, 0x4B00}}));
    // The usage belongs to the Input item, so the collection has none.
    const Bytes cleared = {0x05, 0x8C, 0x09, 0x02, 0x81, 0x02, 0xA1, 0x01, 0xC0};
    EXPECT_EQ(Read(cleared), (Collections{{0, 0}}));
    EXPECT_FALSE(IsReader(cleared));
}

TEST(UdevCollections, LongItemsAreSkipped) {
    const Bytes bytes = {0xFE, 0x02, 0x10, 0xAA, 0xBB, 0x05, 0x8C, 0x09, 0x02, 0xA1, 0x01, 0xC0};
    EXPECT_TRUE(IsReader(bytes));
}

TEST(UdevMalformed, RefusedEvenWhenAReaderCollectionWasSeen) {
    const Bytes reader = {0x05, 0x8C, 0x09, 0x02, 0xA1, 0x01, 0xC0};
    Bytes extraEnd = reader;
    extraEnd.push_back(0xC0);
    EXPECT_EQ(Read(extraEnd, false), (Collections{{0x008C, 0x0002}}));
    EXPECT_FALSE(IsReader(extraEnd));

    Bytes popWithoutPush = reader;
    popWithoutPush.push_back(0xB4);
    EXPECT_FALSE(IsReader(popWithoutPush));

    Bytes longPastEnd = reader;
    longPastEnd.insert(longPastEnd.end(), {0xFE, 0x05, 0x00, 0x01});
    EXPECT_FALSE(IsReader(longPastEnd));

    Bytes truncatedItem = reader;
    truncatedItem.insert(truncatedItem.end(), {0x06, 0x45});
    EXPECT_FALSE(IsReader(truncatedItem));

    Bytes deepPush(65 + reader.size(), 0xA4);
    std::copy(reader.begin(), reader.end(), deepPush.begin() + 65);
    EXPECT_FALSE(IsReader(deepPush));

    EXPECT_FALSE(IsReader({}));
}

} // namespace
