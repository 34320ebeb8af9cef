#include "platform/input_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/failure.h"
#include "support/files.h"

namespace qiv {
namespace {

namespace fs = std::filesystem;

std::string failure_of(const std::string& path) {
  return test_support::failure_text([&] { read_input_file(path); });
}

TEST(InputFile, ReadsRegularFilesOnlyAndRefusesTheRestAtOnce) {
  const test_support::ScratchDir scratch;
  const fs::path& dir = scratch.path();
  { std::ofstream(dir / "plain.txt", std::ios::binary) << "1 2 3\n"; }
  auto got = read_input_file((dir / "plain.txt").string());
  ASSERT_TRUE(got.has_value());
  EXPECT_EQ(got->view(), "1 2 3\n");
  EXPECT_FALSE(read_input_file((dir / "missing.txt").string()).has_value());

  // A FIFO without a writer would block a plain open for ever.
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  const struct {
    fs::path path;
    const char* message;
  } refused[] = {
      {dir, ""},
      {dir / "pipe", "Cannot read pipe: it is not a regular file."},
      {"/dev/zero", "Cannot read zero: it is not a regular file."},
      {"/dev/null", "Cannot read null: it is not a regular file."},
  };
  for (const auto& r : refused) {
    const std::string name = r.path.filename().string();
    const std::string want =
        *r.message ? r.message : "Cannot read " + name + ": it is not a regular file.";
    EXPECT_EQ(failure_of(r.path.string()), want) << r.path;
  }
}

// A file whose bytes differ from what its size said when the reading began, as when another
// program rewrites it meanwhile: a message, never a partial read. /proc/self/status says it
// is empty and then gives text, which is the same case without a race.
TEST(InputFile, AFileThatChangesWhileReadGivesAMessage) {
  EXPECT_EQ(failure_of("/proc/self/status"),
            "Cannot read status: the file changed while it was read; try again.");
}

TEST(InputFile, LineEndsOfEveryKindAndTheByteOrderMark) {
  struct Row {
    const char* name;
    std::string text;
    std::vector<std::string> lines;
  };
  const Row rows[] = {
      {"LF", "a\nb\n", {"a", "b"}},
      {"CR LF", "a\r\nb\r\n", {"a", "b"}},
      {"CR alone", "a\rb\r", {"a", "b"}},
      {"mixed, last line open", "a\r\n\rb\nc", {"a", "", "b", "c"}},
      {"empty lines kept", "\n\n", {"", ""}},
      {"nothing", "", {}},
      {"byte order mark", "\xEF\xBB\xBFx\ry", {"x", "y"}},
  };
  for (const Row& r : rows) {
    LineReader reader(skip_bom(r.text));
    std::vector<std::string> got;
    std::string_view line;
    while (reader.next(line)) {
      got.emplace_back(line);
      EXPECT_EQ(reader.line_number(), got.size()) << r.name;
    }
    EXPECT_EQ(got, r.lines) << r.name;
  }
  EXPECT_EQ(with_lf_line_ends("a\r\nb\rc\n\r\r\n"), "a\nb\nc\n\n\n");
  EXPECT_EQ(skip_bom("\xEF\xBB"), "\xEF\xBB");  // a partial mark is text
}

}  // namespace
}  // namespace qiv
