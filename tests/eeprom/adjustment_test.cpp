#include "eeprom/adjustment.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "core/atomic_file.hpp"
#include "support/temp_folder.hpp"

namespace orva::eeprom {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr std::string_view kNeeds = "an adjustment-address file needs three \"%END\" lines, then the addresses";

// Three end marks, then `body`.
std::string afterEndMarks(std::string_view body) { return "%END\r\n%END\r\n%END\r\n" + std::string(body); }

// `count` distinct addresses from 0x1000 on, eight to a line.
std::string addressLines(std::size_t count) {
  std::string out;
  for (std::size_t i = 0; i < count; ++i) out += fmt::format("{:04X}{}", 0x1000 + i, i % 8 == 7 ? "\r\n" : " ");
  return out;
}

std::vector<std::uint16_t> addressesOf(std::string_view text) {
  auto r = parseAdjustmentAddresses(text);
  EXPECT_TRUE(r) << r.message();
  return r ? r->addresses : std::vector<std::uint16_t>{};
}

TEST(AdjustmentFile, AddressesFollowTheThirdEndMark) {
  EXPECT_THAT(addressesOf(afterEndMarks("1A20 1A21\r\n")), ElementsAre(0x1A20, 0x1A21));

  // Free text before the third end mark is ignored even where it holds a "1" (or a bad address);
  // only a line starting with "%" counts as an end mark.
  const std::string text =
      "Model QB-191 adjustment data, rev 1\r\n"
      "1XYZ 1\r\n"
      "%END of the header\r\n"
      " %END indented: not an end mark 1F00\r\n"
      "%% notes %END\r\n"
      "1E00\r\n"
      "%END 1B00 1b01\r\n"  // the third end mark is scanned itself
      "* 1C00 comments add nothing, 1 and all\r\n"
      "1c02,1C03\r\n"
      "\r\n"
      "1ABC\r\n";
  EXPECT_THAT(addressesOf(text), ElementsAre(0x1B00, 0x1B01, 0x1C02, 0x1C03, 0x1ABC));
}

TEST(AdjustmentFile, ScanStepsOverAddressAndOneSeparatorUpToTheFourthEndMark) {
  struct Case {
    const char* name;
    std::string_view line;
    std::vector<std::uint16_t> expected;
  };
  const Case cases[] = {
      {"text before", "adjust 1A00 and 1a01", {0x1A00, 0x1A01}},
      {"any separator", "1A00;1A01\t1A02", {0x1A00, 0x1A01, 0x1A02}},
      {"separator eats the next 1", "1A001B00", {0x1A00}},
      {"address at the line end", "  1FFF", {0x1FFF}},
      {"duplicates kept once, first place", "1A02 1A01 1A02 1a01 1A03", {0x1A02, 0x1A01, 0x1A03}},
      // Neither the fourth end mark's own addresses nor anything after it is read, bad or not.
      {"the fourth end mark ends the file", "1A00\r\n%END 1A01\r\n1A02\r\n1XYZ", {0x1A00}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(addressesOf(afterEndMarks(std::string(c.line) + "\r\n")), c.expected);
  }
}

TEST(AdjustmentFile, LineEndsAndLongOrBinaryLines) {
  const std::string crlf = "text\r\n%END\r\n%END\r\n%END\r\n1A00 1A01\r\n1A02\r\n";
  std::string lf = crlf;
  std::erase(lf, '\r');
  EXPECT_THAT(addressesOf(crlf), ElementsAre(0x1A00, 0x1A01, 0x1A02));
  EXPECT_EQ(addressesOf(lf), addressesOf(crlf));
  EXPECT_THAT(addressesOf(afterEndMarks("1A00\r1A01")), ElementsAre(0x1A00, 0x1A01));  // lone CR: a separator
  // The same bad address is reported on the same line either way.
  for (std::string_view end : {"\r\n", "\n"}) {
    const std::string text = fmt::format("%END{0}%END{0}%END{0}1A00{0}1A0{0}", end);
    auto r = parseAdjustmentAddresses(text);
    ASSERT_TRUE(r.failed());
    EXPECT_EQ(r.message(), "line 5: \"1A0\" is not a four-digit address");
  }

  // A long line is read whole, not cut into pieces.
  std::string longLine(300, ' ');
  longLine += "1D00 1D01";
  EXPECT_THAT(addressesOf(afterEndMarks(longLine)), ElementsAre(0x1D00, 0x1D01));

  // Binary lines without a "1" hold nothing; NUL is no line end.
  const std::string binary =
      std::string("\0\xFF\x80%END\r\n", 9) + afterEndMarks(std::string("\0\x02 1E00\0 \xFE", 10));
  EXPECT_THAT(addressesOf(binary), ElementsAre(0x1E00));
}

TEST(AdjustmentFile, RefusesTheWholeFile) {
  struct Case {
    const char* name;
    std::string text;
    std::string message;
  };
  const Case cases[] = {
      {"short at the line end", afterEndMarks("1A00 1A0\r\n1A01\r\n"), "line 4: \"1A0\" is not a four-digit address"},
      {"lone 1", afterEndMarks("1A00\r\n\r\nvalue 1\r\n"), "line 6: \"1\" is not a four-digit address"},
      {"not hex", afterEndMarks("1A00 1G00\r\n"), "line 4: \"1G00\" is not a four-digit address"},
      {"blank inside", afterEndMarks("1 A0\r\n"), "line 4: \"1 A0\" is not a four-digit address"},
      {"binary", afterEndMarks(std::string("\xFF" "1\0\x01Z", 5)),
       "line 4: \"1\\x00\\x01Z\" is not a four-digit address"},
      {"bad address on the third end mark", "%END\n%END\n%END 1XY\n1A00\n",
       "line 3: \"1XY\" is not a four-digit address"},
      {"no end mark", "1A00 1A01\r\n", fmt::format("found 0 \"%END\" lines; {}", kNeeds)},
      {"one end mark", "%END\r\n1A00\r\n", fmt::format("found 1 \"%END\" line; {}", kNeeds)},
      {"two end marks", "%END\r\n%END\r\n1A00\r\n", fmt::format("found 2 \"%END\" lines; {}", kNeeds)},
      {"empty", "", fmt::format("found 0 \"%END\" lines; {}", kNeeds)},
      {"no address", afterEndMarks("* 1A00\r\nnone here\r\n"),
       fmt::format("no address after the third \"%END\" line; {}", kNeeds)},
      {"addresses only after the fourth end mark", afterEndMarks("%END\r\n1A00\r\n"),
       fmt::format("no address after the third \"%END\" line; {}", kNeeds)},
      {"1024 addresses", afterEndMarks(addressLines(1024)), "line 131: more than 1023 adjustment addresses"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto r = parseAdjustmentAddresses(c.text);
    ASSERT_TRUE(r.failed());
    EXPECT_EQ(r.message(), c.message);
  }
}

TEST(AdjustmentFile, CountLimitCountsDistinctAddresses) {
  const std::string full = afterEndMarks(addressLines(kMaxAdjustmentAddresses));
  auto r = parseAdjustmentAddresses(full + "1000 13FE\r\n");  // both already there
  ASSERT_TRUE(r) << r.message();
  EXPECT_EQ(r->addresses.size(), kMaxAdjustmentAddresses);
  EXPECT_TRUE(r->contains(0x1000));
  EXPECT_TRUE(r->contains(0x13FE));
  EXPECT_FALSE(r->contains(0x13FF));
  EXPECT_FALSE(r->contains(0x0000));
}

TEST(AdjustmentFile, ReadFromDisk) {
  orva::testing::TempFolder folder;
  ASSERT_TRUE(core::AtomicFile::write(folder / "good.cfg", afterEndMarks("1A20 1A21\r\n")));
  ASSERT_TRUE(core::AtomicFile::write(folder / "bad.cfg", "%END\r\n"));

  auto good = readAdjustmentFile(folder / "good.cfg");
  ASSERT_TRUE(good) << good.message();
  EXPECT_THAT(good->addresses, ElementsAre(0x1A20, 0x1A21));

  auto bad = readAdjustmentFile(folder / "bad.cfg");
  ASSERT_TRUE(bad.failed());
  EXPECT_EQ(bad.message(), fmt::format("{}: found 1 \"%END\" line; {}", (folder / "bad.cfg").string(), kNeeds));

  auto missing = readAdjustmentFile(folder / "none.cfg");
  ASSERT_TRUE(missing.failed());
  EXPECT_THAT(missing.message(), HasSubstr((folder / "none.cfg").string()));
}

}  // namespace
}  // namespace orva::eeprom
