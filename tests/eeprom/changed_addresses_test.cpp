// What the changed-address list notes for each kind of write, and its limits.
#include "eeprom/changed_addresses.hpp"

#include <gtest/gtest.h>

#include <thread>

namespace orva {
namespace {

using eeprom::ChangedAddresses;
using eeprom::Range;

ChangedAddresses listFor(Range range) {
  return ChangedAddresses([range] { return range; });
}

const Range kSmall{0x1000, 0x1800, 6, 102};
const Range kLarge{0x0800, 0x3280, 13, 561};

TEST(ChangedAddresses, InsideTheRangeEachAddressOnceInOrder) {
  auto list = listFor(kSmall);
  EXPECT_TRUE(list.record(0x1234, 0x12));
  EXPECT_TRUE(list.record(0x1000, 0x01));
  EXPECT_TRUE(list.record(0x1234, 0x99));
  EXPECT_TRUE(list.record(0x0FFF, 0x00));  // below the range: ignored, not a failure
  EXPECT_EQ(list.addresses(), (std::vector<std::uint16_t>{0x1234, 0x1000}));
}

TEST(ChangedAddresses, RegistersAboveTheRangeAreTranslatedOrIgnored) {
  auto list = listFor(kSmall);
  EXPECT_TRUE(list.record(0xE199, 0x05));   // mirrors EEPROM 0x1027
  EXPECT_FALSE(list.record(0xE19C, 0x05));  // a register with no EEPROM byte
  EXPECT_TRUE(list.record(0xE1F7, 0x01));   // kept as itself
  EXPECT_TRUE(list.record(0x1A00, 0x01));   // the low area above this range
  EXPECT_TRUE(list.record(0xFCAC, 0x00));   // a control register: nothing to note
  EXPECT_EQ(list.addresses(), (std::vector<std::uint16_t>{0x1027, 0xE1F7, 0x1A00}));
}

TEST(ChangedAddresses, PresetStoreNotesThePresetsEighteenBytes) {
  auto list = listFor(kLarge);
  // A word write reports the address and the next one with the same value.
  EXPECT_TRUE(list.record(0xF8B0, 0x4305));
  EXPECT_TRUE(list.record(0xF8B1, 0x4305));
  const auto a = list.addresses();
  ASSERT_EQ(a.size(), 18u);
  EXPECT_EQ(a.front(), 0x1848);
  EXPECT_EQ(a.back(), 0x1859);

  auto zero = listFor(kSmall);
  zero.record(0xF8B0, 0x4300);
  zero.record(0xF8B0, 0x4205);  // not a store
  EXPECT_EQ(zero.addresses(), (std::vector<std::uint16_t>{0xF8B0}));
}

TEST(ChangedAddresses, RangeIsAskedAfreshForEveryWrite) {
  Range range = kSmall;
  ChangedAddresses list([&range] { return range; });
  list.record(0x0900, 1);
  range = kLarge;
  list.record(0x0900, 1);
  EXPECT_EQ(list.addresses(), (std::vector<std::uint16_t>{0x0900}));
}

TEST(ChangedAddresses, FullListRefusesNewAddressesButKeepsKnownOnes) {
  auto list = listFor(Range{0x0000, 0xE000, 13, 561});
  for (std::uint32_t a = 1; a <= eeprom::kChangedAddressCapacity; ++a) ASSERT_TRUE(list.record(static_cast<std::uint16_t>(a), 0));
  EXPECT_EQ(list.size(), eeprom::kChangedAddressCapacity);
  EXPECT_FALSE(list.record(0xD000, 0));
  EXPECT_TRUE(list.record(0x0001, 0));
  EXPECT_FALSE(list.contains(0xD000));
  list.clear();
  EXPECT_TRUE(list.empty());
  EXPECT_FALSE(list.contains(0x0001));
  EXPECT_TRUE(list.record(0xD000, 0));
}

TEST(ChangedAddresses, WritersOnTwoThreads) {
  auto list = listFor(kLarge);
  auto writer = [&list](std::uint16_t from) {
    for (std::uint16_t a = from; a < from + 0x400; ++a) list.record(a, 0);
  };
  std::thread t1(writer, 0x0800), t2(writer, 0x0A00);
  t1.join();
  t2.join();
  EXPECT_EQ(list.size(), 0x600u);
}

}  // namespace
}  // namespace orva
