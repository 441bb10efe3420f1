// The CB block is shared with parties outside this system (the session library, the host
// device), so the item table must match the layout contract exactly: every number, width,
// offset and whether the scanner may write it.
#include "session/cb_block.h"

#include <gtest/gtest.h>

#include <set>

#include "session/host_data.h"

namespace {

struct ContractItem {
    std::uint16_t number;
    unsigned width;
    std::size_t offset;
    bool writable;
};

constexpr ContractItem kContract[] = {
    {74, 1, 16, true},    {80, 1, 238, true},    {99, 1, 18, true},  {125, 1, 188, true},
    {128, 1, 187, true},  {155, 1, 9595, false}, {36, 2, 167, true}, {39, 2, 165, true},
    {45, 2, 191, true},   {48, 2, 189, true},    {56, 2, 169, true}, {57, 2, 183, true},
    {154, 4, 9591, true},
};

TEST(CBBlockLayout, EveryItemSitsWhereTheContractPutsIt) {
    ASSERT_EQ(std::size(kCBItems), std::size(kContract));
    for (const ContractItem& expected : kContract) {
        const CBItemLayout* item = FindCBItem(expected.number, expected.width);
        ASSERT_NE(item, nullptr) << "item " << expected.number;
        EXPECT_EQ(item->offset, expected.offset) << "item " << expected.number;
        EXPECT_EQ(item->writable, expected.writable) << "item " << expected.number;
        EXPECT_EQ(CBItemOffset(expected.number), expected.offset);
        EXPECT_LE(item->offset + item->width, kCBBlockSize) << "item " << expected.number;
    }
    EXPECT_EQ(kCBBlockSize, 9598u);
}

TEST(CBBlockLayout, ItemsAreFoundOnlyAtTheirOwnWidth) {
    EXPECT_EQ(FindCBItem(74, 2), nullptr);
    EXPECT_EQ(FindCBItem(57, 1), nullptr);
    EXPECT_EQ(FindCBItem(1, 1), nullptr);
    std::set<std::uint16_t> numbers;
    for (const CBItemLayout& item : kCBItems) {
        EXPECT_TRUE(numbers.insert(item.number).second) << "item " << item.number << " twice";
    }
}

TEST(CBBlockLayout, HostDataKeepsTheFieldsTheScannerReads) {
    EXPECT_EQ(offsetof(HOSTDATA, CBBlock), 0u);
    EXPECT_EQ(offsetof(HOSTDATA, VideoEvent), 880u);
}

}  // namespace
