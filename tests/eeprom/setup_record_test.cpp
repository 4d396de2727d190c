#include "eeprom/setup_record.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "camera_bench.hpp"  // contents()

namespace orva::eeprom {
namespace {

using namespace setup_at;

SetupRecord defaults() {
  SetupRecord r;
  fillDefaultAddresses(r);
  loadDefaultValues(r, 0x0100);
  return r;
}

TEST(SetupRecord, DefaultsHoldTheFactoryValuesAndPassTheChecks) {
  const SetupRecord r = defaults();
  EXPECT_EQ(r.word(L(2)), 0x0400);
  EXPECT_EQ(r.word(L(4)), 0x0400);
  EXPECT_EQ(r.byte(T(3)), 0x10);  // the high byte of T+2's 0x1000
  EXPECT_EQ(r.word(P(8)), 0x169F);
  EXPECT_EQ(r.word(T(66)), 0x12AE);
  EXPECT_EQ(r.word(S(22)), 0x128E);
  EXPECT_FALSE(checkSetupRecord(r));
  EXPECT_TRUE(foreignAddresses(r).empty());
}

TEST(SetupRecord, ChecksNameTheFirstFailingRule) {
  struct Case {
    const char* name;
    std::function<void(SetupRecord&)> change;
    std::string data;  // empty: passes
  };
  const Case cases[] = {
      {"R gain without bit 7", [](SetupRecord& r) { r.setWord(W(2), 0x0100); }, "R gain"},
      {"R gain 0x0180", [](SetupRecord& r) { r.setWord(W(2), 0x0180); }, ""},
      {"B gain above 1023", [](SetupRecord& r) { r.setWord(W(4), 0x0480); }, "B gain"},
      {"curve and mosaic both off", [](SetupRecord& r) { r.setByte(L(18), 13); r.setByte(S(7), 32); },
       "Trace curve select"},
      {"focus speed 0", [](SetupRecord& r) { r.setByte(T(3), 0); }, "Manual FOCUS Speed"},
      {"min focus F6", [](SetupRecord& r) { r.setByte(T(4), 0xF6); }, "Min. FOCUS Length"},
      {"min focus F9", [](SetupRecord& r) { r.setByte(T(4), 0xF9); }, ""},
      {"vertical aperture", [](SetupRecord& r) { r.setByte(P(25), 64); }, "Vertical Aperture Level (~AGC on)"},
      {"AGC word", [](SetupRecord& r) { r.setWord(P(30), 1281); }, "Maximum AGC gain data"},
      {"AGC byte", [](SetupRecord& r) { r.setByte(P(32), 161); }, "Maximum AGC gain data"},
      {"WB mode from a bit", [](SetupRecord& r) { r.setByte(W(0), 8); }, "White Balance mode"},
      {"WB manual", [](SetupRecord& r) { r.setByte(W(0), 4); }, ""},
      {"mosaic V", [](SetupRecord& r) { r.setByte(S(8), 16); }, "MOSAIC Size (V)"},
  };
  for (const Case& c : cases) {
    SetupRecord r = defaults();
    c.change(r);
    const auto failure = checkSetupRecord(r);
    EXPECT_EQ(failure ? failure->data : "", c.data) << c.name;
    if (failure) {
      EXPECT_EQ(setupCheckMessage(*failure), "Parameter data is out of range.\nData : " + c.data);
    }
  }
}

TEST(SetupRecord, TraceCurveInterpolatesAndSurvivesAFlatTable) {
  const TraceTable xs{0, 0x400, 0x800, 0xC00, 0x1000, 0x1800, 0x2000, 0x3000, 0x4000};
  const TraceTable ys{0x100, 0x180, 0x220, 0x2D0, 0x390, 0x500, 0x680, 0x900, 0xC00};
  const TraceTable flat{0x1000, 0x1000, 0x1000, 0x1000, 0x1000, 0x1000, 0x1000, 0x1000, 0x1000};
  const TraceTable falling{0x900, 0x800, 0x700, 0x600, 0x500, 0x400, 0x300, 0x100, 0};
  struct Case {
    const TraceTable& x;
    const TraceTable& y;
    std::uint16_t at;
    std::uint16_t value;
  } const cases[] = {
      {xs, ys, 0x200, 0x140},      // first segment
      {xs, ys, 0x800, 0x220},      // on a point: the segment it starts
      {xs, ys, 0x5000, 0xF00},     // past the end: the last segment carried on
      {flat, ys, 0x0800, 0x100},   // below an erased table: Y[0], no division by zero
      {flat, ys, 0x2000, 0x900},   // above it: Y[7]
      {xs, falling, 0x3800, 0x80},
      {xs, falling, 0x5000, 0},    // below 0 past the table's end: clamped, not wrapped
  };
  for (const Case& c : cases) EXPECT_EQ(traceCurveValue(c.x, c.y, c.at), c.value) << std::hex << c.at;
}

TEST(SetupFile, SaveThenLoadIsTheIdentityAndRefusalsTakeNothing) {
  const auto dir = std::filesystem::path(::testing::TempDir()) / "setup_file";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const SetupStamp camera{0x00C0, 0x0123, 1, 2, 3, 0x0400};
  SetupRecord r = defaults();
  r.setWord(W(6), 0x1234);
  r.setWord(W(8), 0x5678);
  ASSERT_FALSE(saveSetupFile(dir / "CSetup", r, camera).failed());
  EXPECT_EQ(r.word(W(10)), 0x1234);
  EXPECT_EQ(r.word(W(12)), 0x5678);
  const std::string bytes = testing::contents(dir / "CSetup.csu");
  ASSERT_EQ(bytes.size(), kSetupFileBytes);
  EXPECT_EQ(bytes.substr(27, 8), std::string("\xC0\x01\x23\x01\x02\x03\x04\x00", 8));
  const SetupLoad loaded = acceptSetupFile(bytes, camera);
  ASSERT_TRUE(loaded.record);
  EXPECT_EQ(*loaded.record, r);

  struct Refusal {
    const char* name;
    std::string bytes;
    SetupStamp camera;
    SetupLoadError error;
  };
  std::string badSignature = bytes;
  badSignature[0] = 'c';
  const Refusal refusals[] = {
      {"short", bytes.substr(0, 354), camera, SetupLoadError::FileType},
      {"long", bytes + '\0', camera, SetupLoadError::FileType},
      {"signature", badSignature, camera, SetupLoadError::FileType},
      {"other model", bytes, {0x00C1, 0x0123}, SetupLoadError::Model},
      {"other version", bytes, {0x00C0, 0x0124}, SetupLoadError::Model},
  };
  for (const Refusal& f : refusals) {
    const SetupLoad l = acceptSetupFile(f.bytes, f.camera);
    EXPECT_FALSE(l.record) << f.name;
    EXPECT_EQ(l.error, f.error) << f.name;
  }
  EXPECT_EQ(setupLoadMessage(SetupLoadError::Model),
            "Not correct camera model. \nCamera setup utility is only for QB-109 series cameras.");

  const core::Status failed = saveSetupFile(dir / "missing" / "x", r, camera);
  ASSERT_TRUE(failed.failed());
  EXPECT_EQ(failed.message().rfind(kSetupSaveFailedText, 0), 0u);
}

TEST(SetupFile, SaveNameGetsCsuUnlessItHasIt) {
  const std::pair<const char*, const char*> cases[] = {
      {"a", "a.csu"}, {"a.csu", "a.csu"}, {"a.CSU", "a.CSU"}, {"a.txt", "a.txt.csu"}, {"d.x/a", "d.x/a.csu"}};
  for (const auto& [chosen, saved] : cases) EXPECT_EQ(setupSaveName(chosen), std::filesystem::path(saved)) << chosen;
}

TEST(SetupRecord, ForeignAddressesAreListed) {
  SetupRecord r = defaults();
  r.setWord(L(24), 0xFCAC);
  r.setWord(P(52), 0);
  const auto foreign = foreignAddresses(r);
  ASSERT_EQ(foreign.size(), 2u);
  EXPECT_EQ(foreignAddressLine(foreign[0]), "L+24 = 0xFCAC (default 0x11E6)");
  EXPECT_EQ(foreignAddressLine(foreign[1]), "P+52 = 0x0000 (default 0xE198)");
}

}  // namespace
}  // namespace orva::eeprom
