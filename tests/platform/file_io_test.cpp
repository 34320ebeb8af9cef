#include "platform/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace qiv {
namespace {

namespace fs = std::filesystem;

class FileIoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("qiv_file_io_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    set_write_fault_for_testing(-1);
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir_);
  }
  static std::string read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::size_t entries() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
  }
  fs::path dir_;
};

TEST_F(FileIoTest, WritesAndReplacesWholeFiles) {
  fs::path p = dir_ / "out.txt";
  ASSERT_TRUE(write_file_atomically(p.string(), "first\n"));
  ASSERT_TRUE(write_file_atomically(p.string(), "2\n"));
  EXPECT_EQ(read(p), "2\n");
  EXPECT_EQ(entries(), 1u);
}

TEST_F(FileIoTest, FailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
  fs::path p = dir_ / "out.txt";
  ASSERT_TRUE(write_file_atomically(p.string(), "old content\n"));
  set_write_fault_for_testing(3);
  EXPECT_FALSE(write_file_atomically(p.string(), "new content that is longer\n"));
  set_write_fault_for_testing(-1);
  EXPECT_EQ(read(p), "old content\n");
  EXPECT_EQ(entries(), 1u);
}

TEST_F(FileIoTest, RefusesFoldersAndUnwritablePlaces) {
  EXPECT_FALSE(write_file_atomically(dir_.string(), "x"));
  EXPECT_FALSE(write_file_atomically((dir_ / "missing" / "f.txt").string(), "x"));
  if (::geteuid() != 0) {  // root writes anywhere; permissions mean nothing to it
    fs::path p = dir_ / "keep.txt";
    ASSERT_TRUE(write_file_atomically(p.string(), "keep\n"));
    fs::permissions(dir_, fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_FALSE(write_file_atomically(p.string(), "lost\n"));
    fs::permissions(dir_, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(read(p), "keep\n");
  }
}

}  // namespace
}  // namespace qiv
