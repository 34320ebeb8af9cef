// The actions that write files (protocol, subset, back-reflected data, block structure and
// target matrix, line lengths, the target matrix as CSV) when the write cannot happen or breaks
// off midway: the user sees the action's message box and, for the boxes that keep a short text,
// on the console and the window's status bar the file and the reason ("SaveMatrix" names both
// in its boxes, one per file); a file that was there keeps its bytes, and no temporary file is
// left in the folder.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "data/landmark_file.h"
#include "platform/file_io.h"
#include "reliability/reliability_support.h"

namespace qiv::reliability {
namespace {

struct Writer {
  const char* action;
  const char* message;  // the box shown when the file cannot be written; empty: one per file
  int files;            // save dialogs the action shows
};

const Writer kWriters[] = {
    {"SaveProtocol", "Error on file opening", 1},
    {"SaveSubset", "Failure on File Open", 1},
    {"SaveReflected", "Failure on File Open", 1},
    {"SaveMatrix", "", 2},
};

// Writers of CSV files: their failures behave the same; what they write is no table of
// numbers alone (a header, labelled rows), so GoodWrite, which reads it back, leaves them out.
// Their box names the file and the reason itself ("*").
const Writer kCsvWriters[] = {
    {"SaveLengths", "*", 1},
    {"SaveMatrixCSV", "*", 1},
};

// What the user is told for each file out1.txt, out2.txt ... (as the user named them) that
// could not be written.
void expect_told(const Writer& w, const std::string& why, const HeadlessUi& ui, bool dot) {
  const std::string out1 = dot ? "." : "out1.txt", out2 = dot ? "." : "out2.txt";
  std::vector<std::string> boxes, console;
  if (std::string(w.message) == "*") {
    boxes.push_back("Cannot write " + out1 + ": " + why + ".");
  } else if (*w.message) {
    boxes.push_back(w.message);
    console.push_back("Cannot write " + out1 + ": " + why + ".");
  } else {
    boxes.push_back("Cannot write the block structure file " + out1 + ": " + why + ".");
    boxes.push_back("Cannot write the target matrix file " + out2 + ": " + why + ".");
  }
  EXPECT_EQ(ui.messages(), boxes);
  EXPECT_EQ(ui.console_lines(), console);
}

// Everything the four writers need: data, protocol, a subset, a reflected set, blocks.
void prepare(Session& s) {
  s.act("Load", example("leaves.txt"));
  s.act("LoadProto", example("protocol.txt"));
  s.act("MakeSubset");
  s.type("SubsetBox", "1 3 5");
  s.act("DoBackReflect");
  s.type("MidBox", "1 7");
  s.act("MidlineReflect");
  s.act("CreateTarget");
  s.act("LoadBlock", example("blocks.txt"));
  ASSERT_TRUE(s.ui.messages().empty()) << s.ui.messages().front();
  ASSERT_TRUE(s.ui.console_lines().empty()) << s.ui.console_lines().front();
  s.ui.clear_records();
}

// Every entry of a folder, recursively, with the bytes of each file: a leftover temporary
// file or a changed file shows as a difference.
std::vector<std::string> folder_listing(const fs::path& dir) {
  std::vector<std::string> out;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(dir, ec); it != fs::end(it); it.increment(ec)) {
    const std::string rel = fs::relative(it->path(), dir).string();
    out.push_back(it->is_directory()      ? rel + "/"
                  : it->is_regular_file() ? rel + ": " + read_bytes(it->path())
                                          : rel + " (no regular file)");
  }
  std::sort(out.begin(), out.end());
  return out;
}

enum class Trouble {
  kTargetIsFolder,
  kMissingFolder,
  kReadOnlyFolder,
  kInterrupted,
  kTargetIsPipe,
  kSizeLimit,
  kTargetIsDot
};

const char* trouble_name(Trouble t) {
  switch (t) {
    case Trouble::kTargetIsFolder:
      return "TargetIsFolder";
    case Trouble::kMissingFolder:
      return "MissingFolder";
    case Trouble::kReadOnlyFolder:
      return "ReadOnlyFolder";
    case Trouble::kInterrupted:
      return "InterruptedWrite";
    case Trouble::kTargetIsPipe:
      return "TargetIsPipe";
    case Trouble::kSizeLimit:
      return "FileSizeLimit";
    case Trouble::kTargetIsDot:
      return "TargetIsDot";
  }
  return "";
}

// The paths the save dialogs answer, made so that the write must fail; existing files carry
// old bytes that must survive.
std::vector<fs::path> troubled_targets(Trouble t, const ScratchDir& scratch, int files) {
  std::vector<fs::path> out;
  for (int i = 0; i < files; ++i) {
    const std::string name = "out" + std::to_string(i + 1) + ".txt";
    switch (t) {
      case Trouble::kTargetIsFolder:
        fs::create_directory(scratch / name);
        write_bytes(scratch / name / "inside.txt", "kept\n");
        out.push_back(scratch / name);
        break;
      case Trouble::kMissingFolder:
        out.push_back(scratch / "missing" / name);
        break;
      case Trouble::kReadOnlyFolder:
        fs::create_directories(scratch / "locked");
        // A file the user may write in a locked folder is written in place; this one is
        // locked too.
        write_bytes(scratch / "locked" / name, "an older file\n");
        fs::permissions(scratch / "locked" / name, fs::perms::owner_read);
        out.push_back(scratch / "locked" / name);
        break;
      case Trouble::kInterrupted:
      case Trouble::kSizeLimit:
        write_bytes(scratch / name, "an older file\n");
        out.push_back(scratch / name);
        break;
      case Trouble::kTargetIsPipe:
        ::mkfifo((scratch / name).c_str(), 0600);
        out.push_back(scratch / name);
        break;
      case Trouble::kTargetIsDot:
        fs::current_path(scratch.path());
        out.push_back(".");
        break;
    }
  }
  if (t == Trouble::kReadOnlyFolder)
    fs::permissions(scratch / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  return out;
}

struct Case {
  Writer writer;
  Trouble trouble;
};

class FailedWrite : public testing::TestWithParam<Case> {
 protected:
  void TearDown() override { set_write_fault_for_testing(-1); }
};

TEST_P(FailedWrite, MessageOldFileKeptNoTemporaryFile) {
  const Writer& w = GetParam().writer;
  const Trouble trouble = GetParam().trouble;
  // Root writes into any folder, whatever its permissions.
  if (trouble == Trouble::kReadOnlyFolder && running_as_root())
    GTEST_SKIP() << "root writes into folders without write permission";
  ScratchDir scratch;
  Session s;
  prepare(s);
  if (HasFatalFailure()) return;
  const std::vector<fs::path> targets = troubled_targets(trouble, scratch, w.files);
  const std::vector<std::string> files_before = folder_listing(scratch.path());
  for (const auto& t : targets) s.ui.answer_path(t.string());
  const Snapshot before = snapshot(s);

  // A write that breaks off after 10 bytes, as on a full disk; or a limit of 10 bytes a file.
  if (trouble == Trouble::kInterrupted) set_write_fault_for_testing(10);
  rlimit saved{}, small{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  small = {10, saved.rlim_max};
  if (trouble == Trouble::kSizeLimit) ::setrlimit(RLIMIT_FSIZE, &small);
  s.app.action(w.action);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  set_write_fault_for_testing(-1);

  const char* why = trouble == Trouble::kTargetIsFolder  ? "Is a directory"
                    : trouble == Trouble::kTargetIsDot   ? "Is a directory"
                    : trouble == Trouble::kMissingFolder ? "No such file or directory"
                    : trouble == Trouble::kInterrupted   ? "No space left on device"
                    : trouble == Trouble::kSizeLimit     ? "File too large"
                    : trouble == Trouble::kTargetIsPipe  ? "it is not a regular file"
                                                         : "Permission denied";
  expect_told(w, why, s.ui, trouble == Trouble::kTargetIsDot);
  EXPECT_EQ(s.ui.pending_answers(), 0u) << "every save dialog was shown";
  EXPECT_EQ(folder_listing(scratch.path()), files_before);
  // Nothing else changes: the dialog's folder may have become current, and "SaveMatrix"
  // computes the target matrix whether or not its files are written.
  EXPECT_EQ(difference(before, snapshot(s), {"tmatrix"}, false), "");
  if (std::string(w.action) == "SaveMatrix") {
    EXPECT_TRUE(s.app.state.tmatrix.has_value());
  }
}

std::vector<Case> failed_cases() {
  std::vector<Case> out;
  std::vector<Writer> writers(std::begin(kWriters), std::end(kWriters));
  writers.insert(writers.end(), std::begin(kCsvWriters), std::end(kCsvWriters));
  for (const Writer& w : writers)
    for (Trouble t : {Trouble::kTargetIsFolder, Trouble::kMissingFolder, Trouble::kReadOnlyFolder,
                      Trouble::kInterrupted, Trouble::kTargetIsPipe, Trouble::kSizeLimit,
                      Trouble::kTargetIsDot})
      out.push_back({w, t});
  return out;
}

INSTANTIATE_TEST_SUITE_P(Writers, FailedWrite, testing::ValuesIn(failed_cases()),
                         [](const testing::TestParamInfo<Case>& info) {
                           return std::string(info.param.writer.action) + "_" +
                                  trouble_name(info.param.trouble);
                         });

// The same writers when nothing goes wrong replace the old file and leave nothing else.
class GoodWrite : public testing::TestWithParam<Writer> {};

TEST_P(GoodWrite, ReplacesTheFileAndLeavesNothingElse) {
  const Writer& w = GetParam();
  ScratchDir scratch;
  Session s;
  prepare(s);
  if (HasFatalFailure()) return;
  std::vector<std::string> names;
  for (int i = 0; i < w.files; ++i) {
    names.push_back("out" + std::to_string(i + 1) + ".txt");
    write_bytes(scratch / names.back(), "an older file\n");
    s.ui.answer_path((scratch / names.back()).string());
  }
  s.app.action(w.action);
  EXPECT_TRUE(s.ui.messages().empty()) << s.ui.messages().front();
  std::vector<std::string> left;
  for (const auto& e : fs::directory_iterator(scratch.path())) left.push_back(e.path().filename());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, names);
  // A replaced file has the permissions any new file of the user gets, not those of a
  // private temporary file.
  write_bytes(scratch / "plain.txt", "");
  const fs::perms plain = fs::status(scratch / "plain.txt").permissions();
  for (const auto& n : names) {
    EXPECT_NE(read_bytes(scratch / n), "an older file\n");
    EXPECT_EQ(fs::status(scratch / n).permissions(), plain) << n;
  }
  if (std::string(w.action) != "SaveMatrix") {
    auto back = dload((scratch / names[0]).string());
    ASSERT_TRUE(back.has_value());
    EXPECT_GT(back->rows(), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Writers, GoodWrite, testing::ValuesIn(kWriters),
                         [](const testing::TestParamInfo<Writer>& info) {
                           return std::string(info.param.action);
                         });

}  // namespace
}  // namespace qiv::reliability
