#include "platform/file_io.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/files.h"

namespace qiv {
namespace {

namespace fs = std::filesystem;
using test_support::read_bytes;

class FileIoTest : public ::testing::Test {
 protected:
  void TearDown() override { set_write_fault_for_testing(-1); }
  std::size_t entries() const {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
  }
  test_support::ScratchDir scratch_;
  const fs::path dir_ = scratch_.path();
};

TEST_F(FileIoTest, WritesAndReplacesWholeFiles) {
  fs::path p = dir_ / "out.txt";
  ASSERT_TRUE(write_file_atomically(p.string(), "first\n"));
  ASSERT_TRUE(write_file_atomically(p.string(), "2\n"));
  EXPECT_EQ(read_bytes(p), "2\n");
  EXPECT_EQ(entries(), 1u);
}

TEST_F(FileIoTest, FailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
  fs::path p = dir_ / "out.txt";
  ASSERT_TRUE(write_file_atomically(p.string(), "old content\n"));
  set_write_fault_for_testing(3);
  EXPECT_FALSE(write_file_atomically(p.string(), "new content that is longer\n"));
  set_write_fault_for_testing(-1);
  EXPECT_EQ(read_bytes(p), "old content\n");
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
    EXPECT_EQ(read_bytes(p), "keep\n");
  }
}

}  // namespace
}  // namespace qiv

namespace qiv {
namespace {

// What the user had is kept: a link stays a link, a file keeps its mode, a very long name
// still gets a temporary file, and every refusal says why in the system's words.
TEST_F(FileIoTest, KeepsLinksAndPermissions) {
  const fs::path real = dir_ / "real.txt";
  const fs::path link = dir_ / "link.txt";
  { std::ofstream(real) << "old\n"; }
  fs::create_symlink("real.txt", link);  // relative, as users make them
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_TRUE(write_file_atomically(link.string(), "new\n"));
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link)));
  EXPECT_EQ(read_bytes(real), "new\n");
  EXPECT_EQ(fs::status(real).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(entries(), 2u);

  // A dangling link creates the file it names.
  fs::create_symlink("made.txt", dir_ / "dangling.txt");
  ASSERT_TRUE(write_file_atomically((dir_ / "dangling.txt").string(), "x"));
  EXPECT_EQ(read_bytes(dir_ / "made.txt"), "x");
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir_ / "dangling.txt")));

  // Links in a loop name no file.
  fs::create_symlink("loop2", dir_ / "loop1");
  fs::create_symlink("loop1", dir_ / "loop2");
  std::string why;
  EXPECT_FALSE(write_file_atomically((dir_ / "loop1").string(), "x", &why));
  EXPECT_EQ(why, "Too many levels of symbolic links");
}

TEST_F(FileIoTest, LongestNamesStillWrite) {
  // 250 bytes of name, and one of two-byte characters cut in the middle of the allowed length.
  const std::string ascii(250, 'a');
  std::string wide;
  for (int i = 0; i < 120; ++i) wide += "\xC3\xA9";  // é, 240 bytes
  for (const std::string& name : {ascii, wide}) {
    std::string why;
    ASSERT_TRUE(write_file_atomically((dir_ / name).string(), "data\n", &why)) << why;
    EXPECT_EQ(read_bytes(dir_ / name), "data\n");
  }
  EXPECT_EQ(entries(), 2u);
}

TEST_F(FileIoTest, ReasonsInTheSystemsWords) {
  struct Row {
    const char* name;
    fs::path target;
    const char* why;
  };
  fs::create_directories(dir_ / "folder");
  ASSERT_EQ(::mkfifo((dir_ / "pipe").c_str(), 0600), 0);
  // A node like /dev/null where only root may make one (and where only root could replace it).
  const bool device = ::mknod((dir_ / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  fs::create_symlink("pipe", dir_ / "to_pipe");
  const Row rows[] = {
      {"pipe", dir_ / "pipe", "it is not a regular file"},
      {"link to a pipe", dir_ / "to_pipe", "it is not a regular file"},
      {"device", device ? dir_ / "null" : dir_ / "pipe", "it is not a regular file"},
      {"folder", dir_ / "folder", "Is a directory"},
      {"missing folder", dir_ / "missing" / "out.txt", "No such file or directory"},
      {"name ends in a slash", fs::path(dir_.string() + "/"), "Is a directory"},
  };
  for (const Row& r : rows) {
    std::string why;
    EXPECT_FALSE(write_file_atomically(r.target.string(), "x", &why)) << r.name;
    EXPECT_EQ(why, r.why) << r.name;
  }
  EXPECT_TRUE(fs::is_fifo(dir_ / "pipe"));
  EXPECT_EQ(fs::is_character_file(dir_ / "null"), device);
  set_write_fault_for_testing(2);
  std::string why;
  EXPECT_FALSE(write_file_atomically((dir_ / "full.txt").string(), "abcdef", &why));
  EXPECT_EQ(why, "No space left on device");
  EXPECT_FALSE(fs::exists(dir_ / "full.txt"));
  EXPECT_EQ(entries(), 3u + device);  // no temporary file left

  // Past the file-size limit the write fails (the process is not killed) and the old file stays.
  set_write_fault_for_testing(-1);
  ASSERT_TRUE(write_file_atomically((dir_ / "full.txt").string(), "old"));
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 4;
  ::setrlimit(RLIMIT_FSIZE, &small);
  const bool written = write_file_atomically((dir_ / "full.txt").string(), "abcdef", &why);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_FALSE(written);
  EXPECT_EQ(why, "File too large");
  EXPECT_EQ(read_bytes(dir_ / "full.txt"), "old");
  EXPECT_EQ(entries(), 4u + device);
}

}  // namespace
}  // namespace qiv
