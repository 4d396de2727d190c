#include "core/atomic_file.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/testing/file_size_limit.hpp"
#include "support/temp_folder.hpp"

namespace orva::core {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::Test {
 protected:
  std::size_t entries() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
  }
  orva::testing::TempFolder folder_;
  const fs::path& dir_ = folder_.path();
};

TEST_F(AtomicFileTest, CreatesAndReplacesKeepingPermissions) {
  const fs::path f = dir_ / "EEPROM.MEM";
  ASSERT_TRUE(AtomicFile::write(f, "first\n"));
  EXPECT_EQ(*readFile(f), "first\n");
  fs::permissions(f, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  std::string big(1 << 20, 'x');
  ASSERT_TRUE(AtomicFile::write(f, big));
  EXPECT_EQ(*readFile(f), big);
  EXPECT_EQ(fs::status(f).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(entries(), 1u);
}

TEST_F(AtomicFileTest, FailedWriteLeavesTheOldFileAndNoTemporary) {
  const fs::path f = dir_ / "backup.mem";
  ASSERT_TRUE(AtomicFile::write(f, "old contents\n"));
  Status st;
  {
    testing::FileSizeLimit full(4);
    st = AtomicFile::write(f, "new contents that do not fit\n");
  }
  ASSERT_TRUE(st.failed());
  EXPECT_THAT(st.message(), ::testing::HasSubstr(f.string()));
  EXPECT_EQ(*readFile(f), "old contents\n");
  EXPECT_EQ(entries(), 1u);
}

TEST_F(AtomicFileTest, MissingFolderIsReportedNotCreated) {
  Status st = AtomicFile::write(dir_ / "no" / "such" / "x.txt", "x");
  ASSERT_TRUE(st.failed());
  EXPECT_THAT(st.message(), ::testing::HasSubstr("no/such/x.txt"));
  EXPECT_FALSE(fs::exists(dir_ / "no"));
}

TEST_F(AtomicFileTest, ReadFileReportsWhatFailed) {
  auto missing = readFile(dir_ / "absent");
  ASSERT_TRUE(missing.failed());
  EXPECT_THAT(missing.message(), ::testing::HasSubstr("absent"));
  auto folder = readFile(dir_);
  EXPECT_TRUE(folder.failed());
  std::ofstream(dir_ / "bin", std::ios::binary) << std::string("\0\xff\n", 3);
  EXPECT_EQ(*readFile(dir_ / "bin"), std::string("\0\xff\n", 3));
}

}  // namespace
}  // namespace orva::core
