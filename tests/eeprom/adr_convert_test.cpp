// The address map converter: which lines of a map become ADR lines, and where the file goes.
#include "eeprom/adr_convert.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "core/atomic_file.hpp"
#include "support/temp_folder.hpp"

namespace orva::eeprom {
namespace {

namespace fs = std::filesystem;

// A symbol line as the linker lays it out: the tag early, the name field at 34, the address
// at 77-80; `tail` follows the address.
std::string symbol(std::string_view nameField, std::string_view address, std::string_view tag = "H'00FF",
                   std::string_view tail = "") {
  std::string line(kAdrAddressColumn, ' ');
  line.replace(8, tag.size(), tag);
  line.replace(kAdrNameColumn, nameField.size(), nameField);
  line.resize(kAdrAddressColumn, ' ');
  return line + std::string(address) + std::string(tail);
}

const std::string kMarker = "  SECTION=P  EXTERNALLY DEFINED SYMBOLS\n";

TEST(AdrConvert, MapLinesToAdrLines) {
  const std::string longName(kAdrNameEnd - kAdrNameColumn, 'L');
  struct Case {
    const char* what;
    std::string map;
    std::string adr;
  };
  const Case cases[] = {
      {"underscore, main and blanks give main", kMarker + symbol("_main   ", "F000") + "\n", "F000 main\r\n"},
      {"a name without underscore, H'FFFF", kMarker + symbol("tbl", "12AE", "H'FFFF") + "\n", "12AE tbl\r\n"},
      {"a symbol before the marker is skipped", symbol("_early", "0001", "H'FFFF") + "\n" + kMarker, ""},
      {"the marker line is not converted", symbol("_mark EXTERNALLY", "0002") + "\n" + symbol("_x", "0003") + "\n",
       "0003 x\r\n"},
      {"the marker never switches back",
       kMarker + symbol("_a", "0004") + "\n" + kMarker + symbol("_b", "0005") + "\n", "0004 a\r\n0005 b\r\n"},
      {"lines without a tag are skipped", kMarker + symbol("_c", "0006", "H'0000") + "\n", ""},
      {"a line too short for the address is skipped",
       kMarker + symbol("_short", "00") + "\n" + symbol("_y", "0007") + "\n", "0007 y\r\n"},
      {"CR LF input", kMarker + symbol("_d", "0008") + "\r\n" + symbol("_e", "0009") + "\r\n",
       "0008 d\r\n0009 e\r\n"},
      {"the last line needs no line end", kMarker + symbol("_f", "000A"), "000A f\r\n"},
      {"a name ends at 76", kMarker + symbol(longName, "000B") + "\n", "000B " + longName + "\r\n"},
      {"a long line is one line, not pieces",
       kMarker + symbol("_g", "000C", "H'00FF", std::string(400, 'x') + " H'00FF " + std::string(300, 'y')) + "\n",
       "000C g\r\n"},
      {"a stray CR ends a name, one in the address skips the line",
       kMarker + symbol("_h\rz", "000D") + "\n" + symbol("_i", "0\r0E") + "\n", "000D h\r\n"},
      {"no marker: empty", symbol("_j", "000F") + "\n", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(convertMap(c.map), c.adr) << c.what;
}

TEST(AdrConvert, FileGoesBesideTheMapAndNeverOverAnythingButAnAdr) {
  orva::testing::TempFolder dir;
  ASSERT_TRUE(core::AtomicFile::write(dir / "FW100.MAP", kMarker + symbol("_main", "F000") + "\n"));
  EXPECT_EQ(adrPathFor(dir / "FW100.MAP"), dir / "FW100.ADR");
  EXPECT_EQ(adrPathFor("rel/fw.v2.map"), fs::path("rel/fw.v2.ADR"));

  const AdrConversion done = convertMapFile(dir / "FW100.MAP");
  ASSERT_TRUE(done.converted()) << done.detail;
  EXPECT_EQ(done.adrPath, dir / "FW100.ADR");
  EXPECT_EQ(*core::readFile(done.adrPath), "F000 main\r\n");
  EXPECT_EQ(done.message(), "File Convert end !!");
  EXPECT_EQ(done.title(), "Message");

  const AdrConversion missing = convertMapFile(dir / "NONE.MAP");
  EXPECT_EQ(missing.outcome, AdrConversion::Outcome::MapNotFound);
  EXPECT_EQ(missing.message(), "Map File not Found.");
  EXPECT_EQ(missing.title(), "Attention");
  EXPECT_EQ(convertMapFile({}).outcome, AdrConversion::Outcome::MapNotFound) << "a cancelled file dialog";

  // A map named .ADR would be its own output.
  ASSERT_TRUE(core::AtomicFile::write(dir / "SELF.ADR", kMarker));
  const AdrConversion self = convertMapFile(dir / "SELF.ADR");
  EXPECT_EQ(self.outcome, AdrConversion::Outcome::AdrNotCreated);
  EXPECT_EQ(self.message(), "ADR File not Create.");
  EXPECT_EQ(*core::readFile(dir / "SELF.ADR"), kMarker);

  // An output that cannot be replaced (a folder of that name) is refused and left as it was.
  fs::create_directory(dir / "BUSY.ADR");
  ASSERT_TRUE(core::AtomicFile::write(dir / "BUSY.ADR" / "keep", "k"));
  ASSERT_TRUE(core::AtomicFile::write(dir / "BUSY.MAP", kMarker));
  EXPECT_EQ(convertMapFile(dir / "BUSY.MAP").outcome, AdrConversion::Outcome::AdrNotCreated);
  EXPECT_EQ(*core::readFile(dir / "BUSY.ADR" / "keep"), "k");

  if (::geteuid() != 0) {  // root writes into read-only folders
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(convertMapFile(dir / "FW100.MAP").outcome, AdrConversion::Outcome::AdrNotCreated);
    EXPECT_EQ(*core::readFile(dir / "FW100.ADR"), "F000 main\r\n") << "the old ADR stays whole";
  }
}

}  // namespace
}  // namespace orva::eeprom
