#include "eeprom/image.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "core/atomic_file.hpp"
#include "core/testing/file_size_limit.hpp"
#include "eeprom/factory_images.hpp"
#include "support/temp_folder.hpp"

namespace orva::eeprom {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// One block of eight rows at `start`, byte n = first + n.
Image block(std::uint16_t start, std::uint8_t first = 0) {
  Image image{.start = start, .bytes = {}};
  for (std::size_t n = 0; n < 128; ++n) image.bytes.push_back(static_cast<std::uint8_t>(first + n));
  return image;
}

Image counting(const Range& range) {
  Image image{.start = range.start, .bytes = {}};
  for (std::size_t n = 0; n < range.bytes(); ++n) image.bytes.push_back(static_cast<std::uint8_t>(n * 7 + n / 256));
  return image;
}

constexpr std::string_view kE000Rows =
    "E000 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\r\n"
    "E010 10 11 12 13 14 15 16 17 18 19 1A 1B 1C 1D 1E 1F\r\n"
    "E020 20 21 22 23 24 25 26 27 28 29 2A 2B 2C 2D 2E 2F\r\n"
    "E030 30 31 32 33 34 35 36 37 38 39 3A 3B 3C 3D 3E 3F\r\n"
    "E040 40 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F\r\n"
    "E050 50 51 52 53 54 55 56 57 58 59 5A 5B 5C 5D 5E 5F\r\n"
    "E060 60 61 62 63 64 65 66 67 68 69 6A 6B 6C 6D 6E 6F\r\n"
    "E070 70 71 72 73 74 75 76 77 78 79 7A 7B 7C 7D 7E 7F\r\n";

TEST(ImageWriter, ByteExact) {
  const ImageHeader header{.modelName = "QB-191       ",
                           .cameraVersion = 0x0234,
                           .reg0108 = 0x0A,
                           .reg0109 = 0x1B,
                           .reg010A = 0xC5,
                           .reg010B = 0x0907,
                           .saved = {.year = 2024, .month = 3, .day = 7, .hour = 9, .minute = 5, .second = 0}};
  struct Case {
    const char* name;
    std::optional<ImageHeader> header;
    std::string expected;
  };
  const Case cases[] = {
      {"plain", std::nullopt, "\r\n" + std::string(kCaption) + "\r\n" + std::string(kE000Rows)},
      {"header", header,
       "        QB-191         Camera Ver 02.34  0A.1B.C5 09:07\r\n"
       "         EEPROM save date : 3.7.2024 9:5.0\r\n"
       "\r\n"
       "\r\n"
       "addr  0  1  2  3  4  5  6  7  8  9  A  B  C  D  E  F\r\n" +
           std::string(kE000Rows)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(formatImage(block(0xE000), c.header), c.expected);
  }
}

TEST(ImageWriter, SizeCode7IsThirtyTwoBlocks) {
  const std::string text = formatImage(counting(*sizeCodeRange(7)));
  const std::vector<std::string_view> lines = detail::splitLines(text);
  ASSERT_EQ(lines.size(), 32u * 10u);
  std::size_t captions = 0;
  std::size_t rows = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i % 10 == 0) {
      EXPECT_EQ(lines[i], "");
    } else if (i % 10 == 1) {
      EXPECT_EQ(lines[i], kCaption);
      ++captions;
    } else {
      EXPECT_EQ(lines[i].size(), 52u);
      ++rows;
    }
  }
  EXPECT_EQ(captions, 32u);
  EXPECT_EQ(rows, 256u);
  EXPECT_TRUE(lines[2].starts_with("0800 "));
  EXPECT_TRUE(lines.back().starts_with("17F0 "));
  EXPECT_TRUE(text.ends_with("\r\n17F0 9F A6 AD B4 BB C2 C9 D0 D7 DE E5 EC F3 FA 01 08\r\n"));  // nothing after it
}

// A MAP-variant data line: ":" and an address field, then four groups of four values.
std::string mapLine(const Image& image, std::size_t row) {
  std::string line = ":" + std::to_string(1000 + row) + "   ";
  for (std::size_t i = 0; i < kRowBytes; ++i) {
    static constexpr char kHex[] = "0123456789abcdef";
    const std::uint8_t b = image.bytes[row * kRowBytes + i];
    line += i == 0 ? "" : i % 4 == 0 ? "   " : " ";
    line += kHex[b >> 4];
    line += kHex[b & 15];
  }
  return line + "  ; checksum\r\n";
}

TEST(ImageReader, RoundTripsBothVariants) {
  const Range range = *sizeCodeRange(5);
  const Image image = counting(range);

  auto plain = parseImage(formatImage(image), ImageVariant::Plain, range);
  ASSERT_TRUE(plain) << plain.message();
  EXPECT_EQ(*plain, image);

  // Header lines, text blocks and empty lines between rows do not move the address counter.
  std::string withExtras = formatImage(image, ImageHeader{.modelName = "QB-165"});
  withExtras.insert(withExtras.find("1010 "), "%TXT\r\n1234 free text\r\n%MAP\r\n\r\n  \r\n");
  auto extras = parseImage(withExtras, ImageVariant::Plain, range);
  ASSERT_TRUE(extras) << extras.message();
  EXPECT_EQ(*extras, image);

  std::string map = "%TXT\r\n:not data inside a text block\r\n%MAP\r\nMAP header line\r\n";
  for (std::size_t row = 0; row < range.rows(); ++row) map += mapLine(image, row);
  auto mapped = parseImage(map, ImageVariant::Map, range);
  ASSERT_TRUE(mapped) << mapped.message();
  EXPECT_EQ(*mapped, image);
}

TEST(ImageReader, HexOfEitherCaseAndLineEnds) {
  const Range range{0x1000, 0x1080, 5, 55};
  const std::string row0 = "1000 0a FF 00 10 20 30 40 50 60 70 80 90 A0 B0 C0 dE";
  for (std::string_view end : {"\r\n", "\n", "\r"}) {
    auto image = parseImage(std::string(kCaption) + std::string(end) + row0 + std::string(end), ImageVariant::Plain,
                            range);
    ASSERT_TRUE(image) << image.message();
    ASSERT_EQ(image->rows(), 1u);
    EXPECT_EQ(image->bytes[0], 0x0A);
    EXPECT_EQ(image->bytes[15], 0xDE);
  }
}

TEST(ImageReader, FewerRowsAreAcceptedAndCounted) {
  const Range range = *sizeCodeRange(2);
  const Image whole = counting(range);
  std::string text = formatImage(whole);
  text.resize(text.find("1030 "));
  auto image = parseImage(text, ImageVariant::Plain, range);
  ASSERT_TRUE(image) << image.message();
  EXPECT_EQ(image->start, 0x1000);
  EXPECT_EQ(image->rows(), 3u);
  EXPECT_TRUE(std::equal(image->bytes.begin(), image->bytes.end(), whole.bytes.begin()));
}

TEST(ImageReader, RefusesTheWholeFileNamingTheFirstBadLine) {
  const Range range{0x1000, 0x1080, 5, 55};  // eight rows
  const std::string good = formatImage(block(0x1000, 0x30));
  auto replaced = [&](std::string_view row, std::string_view by) {
    std::string t = good;
    return t.replace(t.find(row), row.size(), by);
  };
  std::string extraRow = good + "1080 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\r\n";
  std::string badMap = ":0000   00 01 02 03   04 05 06 07   08 09 0A 0B   0C 0D 0E 0F\r\n"
                       ":0010   00 01 02 03   04 05 06 07   08 09 0A 0B   0C 0D 0E\r\n";
  std::string longMap;
  for (int i = 0; i < 9; ++i) longMap += ":0000   00 01 02 03   04 05 06 07   08 09 0A 0B   0C 0D 0E 0F\r\n";
  struct Case {
    const char* name;
    ImageVariant variant;
    std::string text;
    std::string message;
  };
  const Case cases[] = {
      {"rows out of order", ImageVariant::Plain, replaced("1010 ", "1020 "),
       "line 4: row 1020 where row 1010 comes next"},
      {"bad value", ImageVariant::Plain, replaced("1000 30 31", "1000 30 g1"),
       "line 3: row 1000: value 2 (column 9) \"g1\" is not two hex digits"},
      {"short row", ImageVariant::Plain, replaced("1040 70 71", "1040 70\r\n"), "line 7: row 1040 has 1 of its 16 values"},
      {"no blank", ImageVariant::Plain, replaced("1000 30 31", "1000 30-31"),
       "line 3: row 1000: a blank belongs before value 2 (column 8)"},
      {"text after", ImageVariant::Plain, replaced("3E 3F\r\n", "3E 3F 40\r\n"),
       "line 3: row 1000: \" 40\" after the 16th value"},
      {"no address", ImageVariant::Plain, replaced("1020 ", "10x0 "),
       "line 5: \"10x0 50 51 52 53 54 55 5...\" does not start with a four-digit row address"},
      {"blank line start after the first row", ImageVariant::Plain, replaced("1030 ", " 1030 "),
       "line 6: \" 1030 60 61 62 63 64 65 ...\" does not start with a four-digit row address"},
      {"more rows than the range", ImageVariant::Plain, extraRow,
       "line 11: more rows than the EEPROM range 1000-107F holds (8 rows)"},
      {"garbage", ImageVariant::Plain, std::string("\x01\xFF\0zz", 5), "line 1: \"\\x01\\xFF\\x00zz\" does not start with a four-digit row address"},
      {"empty file", ImageVariant::Plain, "", "no data rows"},
      {"captions only", ImageVariant::Plain, "\r\naddr\r\n", "no data rows"},
      {"MAP short line", ImageVariant::Map, badMap, "line 2: MAP row has 15 of its 16 values"},
      {"MAP bad value", ImageVariant::Map, ":0000   00 01 02 03   04 05 06 07   08 09 0A 0B   0C 0D 0E 0G\r\n",
       "line 1: MAP row: value 16 (column 60) \"0G\" is not two hex digits"},
      {"MAP more rows than the range", ImageVariant::Map, longMap,
       "line 9: more rows than the EEPROM range 1000-107F holds (8 rows)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto image = parseImage(c.text, c.variant, range);
    ASSERT_TRUE(image.failed());
    EXPECT_EQ(image.message(), c.message);
  }
}

TEST(ImageFile, VariantFromTheNameAndErrorsNameTheFile) {
  orva::testing::TempFolder folder;
  const Range range{0x1000, 0x1080, 5, 55};
  const Image image = block(0x1000);
  std::string map;
  for (std::size_t row = 0; row < 8; ++row) map += mapLine(image, row);
  for (const char* name : {"camera.MAP", "camera.map", "CAMERA.MAP.bak"}) {
    ASSERT_TRUE(core::AtomicFile::write(folder / name, map));
  }
  EXPECT_EQ(*readImageFile(folder / "camera.MAP", range), image);
  EXPECT_EQ(*readImageFile(folder / "CAMERA.MAP.bak", range), image);
  auto lower = readImageFile(folder / "camera.map", range);
  ASSERT_TRUE(lower.failed());
  EXPECT_EQ(lower.message(), (folder / "camera.map").string() +
                                 ": line 1: \":1000   00 01 02 03   04...\" does not start with a four-digit row address");
  auto missing = readImageFile(folder / "none.mem", range);
  ASSERT_TRUE(missing.failed());
  EXPECT_THAT(missing.message(), HasSubstr((folder / "none.mem").string()));
}

TEST(ImageFile, WritesAtomicallyAndAFailureKeepsTheOldFile) {
  orva::testing::TempFolder folder;
  const fs::path path = folder / "backup.mem";
  const Range range = *sizeCodeRange(7);
  ASSERT_TRUE(writeImageFile(path, block(0x0800)));
  EXPECT_EQ(*core::readFile(path), formatImage(block(0x0800)));

  core::Status st;
  {
    core::testing::FileSizeLimit full(64);
    st = writeImageFile(path, counting(range));
  }
  ASSERT_TRUE(st.failed());
  EXPECT_THAT(st.message(), HasSubstr(path.string()));
  EXPECT_THAT(st.message(), HasSubstr("unchanged"));
  EXPECT_EQ(*core::readFile(path), formatImage(block(0x0800)));
}

// A factory image as delivered: a "%TXT" header of free text (Shift-JIS bytes among it), then
// the body as the writer lays it out.
std::string factoryText(const Image& image) {
  return "%TXT\r\nFILE: 323.mem  \x83\x4A\x83\x81\x83\x89  addr list\r\nOUTPUT: NTSC\r\n%MAP\r\n" + formatImage(image);
}

TEST(FactoryImage, Reader) {
  const Range range{0x0800, 0x0900, 13, 255};  // two blocks
  const Image whole = counting(range);
  Image firstBlock = whole;
  firstBlock.bytes.resize(128);
  std::string lfOnly = factoryText(whole);
  std::erase(lfOnly, '\r');
  std::string longer = factoryText(counting({0x0800, 0x0A00, 13, 255}));
  std::string wrongRow = factoryText(whole);
  wrongRow.replace(wrongRow.find("0850 "), 4, "0860");
  std::string badValue = factoryText(whole);
  badValue.replace(badValue.find("0800 ") + 5, 2, "?1");
  struct Case {
    const char* name;
    std::string text;
    FactoryImageFault fault;
    std::string message;
    Image image;
  };
  const Case cases[] = {
      {"CR LF", factoryText(whole), FactoryImageFault::None, "", whole},
      {"LF only", lfOnly, FactoryImageFault::None, "", whole},
      {"rows past the range end are not read", longer, FactoryImageFault::None, "", whole},
      {"fewer rows", factoryText(firstBlock), FactoryImageFault::None, "", firstBlock},
      {"no line ends", "0800 00 01", FactoryImageFault::NoLineEnds, "the image has no line ends", {}},
      {"empty", "", FactoryImageFault::NoLineEnds, "the image has no line ends", {}},
      {"wrong row", wrongRow, FactoryImageFault::InvalidData, "line 12: row 0860 where row 0850 comes next", {}},
      {"bad value", badValue, FactoryImageFault::InvalidData,
       "line 7: row 0800: value 1 (column 6) \"?1\" is not two hex digits", {}},
      {"text block only", "%TXT\r\n0800 00\r\n%MAP\r\n", FactoryImageFault::InvalidData, "no data rows", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FactoryImageRead read = parseFactoryImage(c.text, range);
    EXPECT_EQ(read.fault, c.fault);
    EXPECT_EQ(read.message, c.message);
    if (c.fault == FactoryImageFault::None) {
      EXPECT_EQ(read.image, c.image);
    }
  }
}

TEST(FactoryImage, TableAndLookup) {
  // Shared codes pick the same image; codes outside the table have none.
  EXPECT_EQ(factoryImageFor(0x19F2)->number, 323);
  EXPECT_EQ(factoryImageFor(0x16F0)->number, 312);
  EXPECT_EQ(factoryImageFor(0x09F1)->number, 277);
  EXPECT_EQ(factoryImageFor(0x1AF4)->fileName(), "381.mem");
  EXPECT_EQ(factoryImageFor(0x0000), nullptr);
  EXPECT_EQ(factoryImageFor(0x1F0), nullptr);
  EXPECT_EQ(factoryImageFor(0x19F3), nullptr);
  EXPECT_EQ(factoryImages().size(), 35u);

  EXPECT_EQ(dataSearchPath("/data", "/usr", "/opt/orva/bin"),
            (std::vector<fs::path>{"/data", "/usr/share/orva/eeprom", "/opt/orva/bin/data/eeprom"}));
  EXPECT_EQ(dataSearchPath("", "/usr", ""), (std::vector<fs::path>{"/usr/share/orva/eeprom"}));

  orva::testing::TempFolder folder;
  const std::vector<fs::path> path{folder / "env", folder / "share", folder / "beside"};
  for (const auto& p : path) fs::create_directories(p);
  ASSERT_TRUE(core::AtomicFile::write(folder / "share" / "323.mem", factoryText(block(0x0800))));
  ASSERT_TRUE(core::AtomicFile::write(folder / "beside" / "323.mem", "later in the path"));
  ASSERT_TRUE(core::AtomicFile::write(folder / "beside" / "276.mem", factoryText(block(0x0800))));
  fs::create_directories(folder / "env" / "324.mem");  // a folder is not an image

  auto found = findFactoryImage(0x19F0, path);
  ASSERT_TRUE(found) << found.message();
  EXPECT_EQ(*found, folder / "share" / "323.mem");
  const FactoryImageRead read = readFactoryImage(*found, {0x0800, 0x0880, 13, 255});
  ASSERT_TRUE(read.ok()) << read.message;
  EXPECT_EQ(read.image, block(0x0800));

  auto missing = findFactoryImage(0x19F1, path);
  ASSERT_TRUE(missing.failed());
  EXPECT_EQ(missing.message(), "factory EEPROM image 324.mem (model code 19F1) not found; looked in " +
                                   (folder / "env").string() + ", " + (folder / "share").string() + ", " +
                                   (folder / "beside").string());
  auto none = findFactoryImage(0x0091, path);
  ASSERT_TRUE(none.failed());
  EXPECT_EQ(none.message(), "model code 0091 has no factory EEPROM image");

  const FactoryImageRead unreadable = readFactoryImage(folder / "share" / "999.mem", {});
  EXPECT_EQ(unreadable.fault, FactoryImageFault::Unreadable);
  EXPECT_THAT(unreadable.message, HasSubstr("999.mem"));
  const FactoryImageRead invalid = readFactoryImage(folder / "beside" / "323.mem", {});
  EXPECT_EQ(invalid.fault, FactoryImageFault::NoLineEnds);
  EXPECT_EQ(invalid.message, (folder / "beside" / "323.mem").string() + ": the image has no line ends");

  std::vector<int> foundImages;
  for (const FactoryImageCoverage& c : factoryImageCoverage(path)) {
    if (c.file) foundImages.push_back(c.entry->number);
  }
  EXPECT_EQ(foundImages, (std::vector<int>{276, 323}));
  EXPECT_EQ(factoryImageCoverage(path).size(), 35u);
}

}  // namespace
}  // namespace orva::eeprom
