// Hostile files given to every reader that could meet them: the data, protocol and block
// structure files of the actions, a session script and a window layout. Each row is a way a
// file can be broken; each reader must answer it with its message (a message box, or for
// scripts and layouts a message naming the file and the line) and leave the program exactly
// as it was, or, for the rows that are only unusual spellings of good files, read them as
// it reads the good file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/qivprotosw.h"
#include "base/failure.h"
#include "platform/layout_file.h"
#include "protocol/protocol_model.h"
#include "reliability/reliability_support.h"

namespace qiv::reliability {
namespace {

enum Reader { kLoad, kLoadProto, kLoadProtoT, kLoadBlock, kLoadBlockProto, kScript, kLayout };
constexpr int kReaders = 7;
const char* const kReaderNames[kReaders] = {
    "Load", "LoadProto", "LoadProtoT", "LoadBlock", "LoadBlockProto", "Script", "Layout"};

// The good file each reader starts from; a row breaks it.
std::string good_content(Reader r) {
  switch (r) {
    case kLoad:
      return read_bytes(example("leaves.txt"));
    case kLoadProto:
    case kLoadProtoT:
    case kLoadBlockProto:
      return read_bytes(example("protocol.txt"));
    case kLoadBlock:
      return read_bytes(example("blocks.txt"));
    case kScript:
      return "state proto\nprint FileBox String\n";
    case kLayout:
      return read_bytes(source_dir() / "layouts" / "qiv_back.fig");
  }
  return "";
}

std::string join_lines(const std::vector<std::string>& lines, const std::string& end = "\n") {
  std::string out;
  for (const auto& l : lines) out += l + end;
  return out;
}

// The second line (the first when there is only one) with its words changed by f.
std::string with_second_line(const std::string& good,
                             const std::function<std::string(const std::string&)>& f) {
  auto lines = split_lines(good);
  std::string& l = lines[lines.size() > 1 ? 1 : 0];
  l = f(l);
  return join_lines(lines);
}

// Words of a line: its blank-separated pieces.
std::vector<std::string> words(const std::string& line) {
  std::vector<std::string> out;
  std::istringstream in(line);
  std::string w;
  while (in >> w) out.push_back(w);
  return out;
}

std::string replace_first_words(const std::string& line, const std::string& a,
                                const std::string& b) {
  auto w = words(line);
  if (!w.empty()) w[0] = a;
  if (w.size() > 1) w[1] = b;
  std::string out;
  for (const auto& x : w) out += (out.empty() ? "" : " ") + x;
  return out;
}

// One million lines: short good lines and a bad last one, so that the whole file must be read
// before the refusal. Block structure files take empty lines (empty blocks), which are good.
std::string million_lines(Reader r) {
  std::string good_line;
  std::string out;
  switch (r) {
    case kLoad:
      good_line = "1 2 3 4 5 6 7\n";
      break;
    case kLoadProto:
    case kLoadProtoT:
    case kLoadBlockProto:
      good_line = "1 1 7\n";
      break;
    case kLoadBlock:
      out = "protocol.txt \n";
      good_line = "\n";
      break;
    case kScript:
      good_line = "# comment\n";
      break;
    case kLayout:
      out = good_content(kLayout);
      good_line = "\n";
      break;
  }
  const std::size_t lines_before = std::count(out.begin(), out.end(), '\n');
  out.reserve(out.size() + good_line.size() * 1000000 + 8);
  for (std::size_t i = lines_before + 1; i < 1000000; ++i) out += good_line;
  return out + "oops\n";
}

std::string ten_thousand_numbers() {
  std::string line;
  for (int i = 1; i <= 10000; ++i) line += std::to_string(i) + " ";
  return line;
}

enum class Kind { kContent, kFolder, kUnreadable };

// What a reader must answer. An empty text means the file is read; otherwise the text of the
// message box, the script's error output or the layout failure, with {dir} standing for the
// scratch folder (with its final separator), {file} for the file's name and <*> for bytes the
// test leaves open.
struct Expect {
  const char* text;
  bool same_as_good = false;  // read, and with exactly the result of the good file
  bool late = false;          // LoadBlock: refused by its closing drawing, after loading
};

struct Row {
  const char* name;
  Kind kind;
  std::string file_name;
  std::function<std::string(Reader, const std::string& good)> make;
  std::array<Expect, kReaders> expect;
};

const char* const kDataFile = "hostile.txt";
const char* const kProtoCount24 =
    "Line 1 of {file} holds 24 numbers; a protocol line holds three: its number and its two "
    "landmark numbers.";
const char* const kNotRegular = "Cannot read {file}: it is not a regular file.";
const char* const kNoProtocol =
    "Error loading protocol file, make sure protocol file and block structure file are in the "
    "same directory";

// The expectations for one row, reader by reader, in the order of Reader.
using Expects = std::array<Expect, kReaders>;

std::vector<Row> rows() {
  std::vector<Row> r;
  auto add = [&r](const char* name, std::function<std::string(Reader, const std::string&)> make,
                  Expects e, Kind kind = Kind::kContent, std::string file = kDataFile) {
    r.push_back({name, kind, std::move(file), std::move(make), e});
  };
  add("EmptyFile", [](Reader, const std::string&) { return std::string(); },
      {{{"Cannot load {file}: the file holds no data."},
        {""},
        {""},
        {"The block structure file {file} is empty."},
        {"Block 1 holds 1, but the protocol has no lines.", false, true},
        {""},
        {"Layout file \"{dir}{file}\", line 1, column 1: invalid JSON: syntax error while parsing "
         "value - unexpected end of "
         "input; expected '[', '{', or a literal"}}});
  add("LoneLineEnd", [](Reader, const std::string&) { return std::string("\n"); },
      {{{"Cannot read {file}: line 1 has no numbers."},
        {"Cannot read {file}: line 1 has no numbers."},
        {"Cannot read {file}: line 1 has no numbers."},
        {kNoProtocol},
        {"Cannot read {file}: line 1 has no numbers."},
        {""},
        {"Layout file \"{dir}{file}\", line 2, column 1: invalid JSON: syntax error while parsing "
         "value - unexpected end of "
         "input; expected '[', '{', or a literal"}}});
  add("CrLfLineEnds",
      [](Reader, const std::string& g) { return join_lines(split_lines(g), "\r\n"); },
      {{{"", true}, {"", true}, {"", true}, {"", true}, {"", true}, {"", true}, {"", true}}});
  add("CrLineEnds", [](Reader, const std::string& g) { return join_lines(split_lines(g), "\r"); },
      {{{"", true}, {"", true}, {"", true}, {"", true}, {"", true}, {"", true}, {"", true}}});
  add("HeaderLine", [](Reader, const std::string& g) { return "x1 y1 x2 y2 size\n" + g; },
      {{{"Cannot read {file}: line 1: \"x1\" is not a number."},
        {"Cannot read {file}: line 1: \"x1\" is not a number."},
        {"Cannot read {file}: line 1: \"x1\" is not a number."},
        {"The block structure file {file}, line 2, holds \"protocol.txt\", which is not a list "
         "of line numbers."},
        {"Cannot read {file}: line 1: \"x1\" is not a number."},
        {"script: line 1: unknown step \"x1\"\n"},
        {"Layout file \"{dir}{file}\", line 1, column 1: invalid JSON: syntax error while parsing "
         "value - invalid literal; "
         "last read: 'x'"}}});
  add("TextInTheMiddle",
      [](Reader, const std::string& g) {
        auto lines = split_lines(g);
        lines.insert(lines.begin() + static_cast<long>(lines.size() / 2 + 1), "these are words");
        return join_lines(lines);
      },
      {{{"Cannot read {file}: line 17: \"these\" is not a number."},
        {"Cannot read {file}: line 6: \"these\" is not a number."},
        {"Cannot read {file}: line 6: \"these\" is not a number."},
        {"The block structure file {file}, line 3, holds \"these are words\", which is not a "
         "list of line numbers."},
        {"Cannot read {file}: line 6: \"these\" is not a number."},
        {"script: line 3: unknown step \"these\"\n"},
        {"Layout file \"{dir}{file}\", line 26, column 2: invalid JSON: syntax error while parsing "
         "object key - invalid "
         "literal; last read: '\"Add to midline\",<U+000A>th'; expected string literal"}}});
  add("UnequalLineLengths",
      [](Reader, const std::string& g) {
        return with_second_line(g, [](const std::string& l) {
          std::size_t end = l.find_last_not_of(" \t\r");
          std::size_t cut = l.find_last_of(" \t", end);
          return cut == std::string::npos ? std::string() : l.substr(0, cut);
        });
      },
      {{{"Cannot read {file}: line 2 has 24 numbers, line 1 has 25."},
        {"Cannot read {file}: line 2 has 2 numbers, line 1 has 3."},
        {"Cannot read {file}: line 2 has 2 numbers, line 1 has 3."},
        {""},
        {"Cannot read {file}: line 2 has 2 numbers, line 1 has 3."},
        {"script: line 2: usage: print TAG PROP\n"},
        {"Layout file \"{dir}{file}\", line 3, column 9: invalid JSON: syntax error while parsing "
         "object - unexpected ':'; "
         "expected '}'"}}});
  add("TenThousandNumbersOnALine",
      [](Reader, const std::string& g) {
        auto lines = split_lines(g);
        lines.insert(lines.begin() + 1, ten_thousand_numbers());
        return join_lines(lines);
      },
      {{{"Cannot read {file}: line 2 has 10000 numbers, line 1 has 25."},
        {"Cannot read {file}: line 2 has 10000 numbers, line 1 has 3."},
        {"Cannot read {file}: line 2 has 10000 numbers, line 1 has 3."},
        {"Block 1 holds 9, which is not a protocol line number from 1 to 8.", false, true},
        {"Cannot read {file}: line 2 has 10000 numbers, line 1 has 3."},
        {"script: line 2: unknown step \"1\"\n"},
        {"Layout file \"{dir}{file}\", line 2, column 1: invalid JSON: syntax error while parsing "
         "object key - unexpected "
         "number literal; expected string literal"}}});
  add("MillionLines", [](Reader rd, const std::string&) { return million_lines(rd); },
      {{{"Cannot read {file}: line 1000000: \"oops\" is not a number."},
        {"Cannot read {file}: line 1000000: \"oops\" is not a number."},
        {"Cannot read {file}: line 1000000: \"oops\" is not a number."},
        {"The block structure file {file}, line 1000000, holds \"oops\", which is not a list of "
         "line numbers."},
        {"Cannot read {file}: line 1000000: \"oops\" is not a number."},
        {"script: line 1000000: unknown step \"oops\"\n"},
        {"Layout file \"{dir}{file}\", line 1000000, column 1: invalid JSON: syntax error while "
         "parsing value - invalid "
         "literal; last read: '...U+000A><U+000A><U+000A><U+000A><U+000A>o'; expected end of "
         "input"}}});
  add("NanAndInf",
      [](Reader, const std::string& g) {
        return with_second_line(
            g, [](const std::string& l) { return replace_first_words(l, "NaN", "Inf"); });
      },
      {{{"Cannot load {file}: line 2 holds NaN as number 1, which is not a finite number."},
        {"Line 2 of {file} starts with NaN; a protocol line starts with its number, a whole "
         "number not below 0."},
        {"Line 2 of {file} starts with NaN; a protocol line starts with its number, a whole "
         "number not below 0."},
        {"Block 1 holds NaN, which is not a protocol line number from 1 to 8.", false, true},
        {"Line 2 of {file} starts with NaN; a protocol line starts with its number, a whole "
         "number not below 0."},
        {"script: line 2: unknown step \"NaN\"\n"},
        {"Layout file \"{dir}{file}\", line 2, column 1: invalid JSON: syntax error while parsing "
         "object key - invalid "
         "literal; last read: '{<U+000A>N'; expected string literal"}}});
  add("HugeAndNegativeZero",
      [](Reader, const std::string& g) {
        return with_second_line(
            g, [](const std::string& l) { return replace_first_words(l, "-0", "1e400"); });
      },
      {{{"Cannot load {file}: line 2 holds Inf as number 2, which is not a finite number."},
        {"Line 2 of {file} joins Inf and 12; landmark numbers are whole numbers from 1 to 12."},
        {"Line 2 of {file} joins Inf and 12; landmark numbers are whole numbers from 1 to 12."},
        {"Block 1 holds 0, which is not a protocol line number from 1 to 8.", false, true},
        {"Line 2 of {file} joins Inf and 12; landmark numbers are whole numbers from 1 to 12."},
        {"script: line 2: unknown step \"-0\"\n"},
        {"Layout file \"{dir}{file}\", line 2, column 2: invalid JSON: syntax error while parsing "
         "object key - unexpected "
         "number literal; expected string literal"}}});
  // The readers quote the bytes that are no number with "?" for control bytes: a NUL would cut
  // the message short.
  add("BinaryBytesAndNul",
      [](Reader, const std::string& g) {
        return with_second_line(g, [](const std::string& l) {
          return std::string(" \x01\x02\xfe\xff") + '\0' + "\x7f " + l;
        });
      },
      {{{"Cannot read {file}: line 2: \"??\xfe\xff??\" is not a number."},
        {"Cannot read {file}: line 2: \"??\xfe\xff??\" is not a number."},
        {"Cannot read {file}: line 2: \"??\xfe\xff??\" is not a number."},
        {"The block structure file {file}, line 2, holds \"??\xfe\xff??  1  7  8\", which is not "
         "a list of line numbers."},
        {"Cannot read {file}: line 2: \"??\xfe\xff??\" is not a number."},
        {"script: line 2: unknown step \"<*>\"\n"},
        {"Layout file \"{dir}{file}\", line 2, column 2: invalid JSON: syntax error while parsing "
         "object key - invalid "
         "literal; last read: '{<U+000A> <U+0001>'; expected string literal"}}});
  // A long run of bytes that is no number is quoted by its start only.
  add("LongRunOfBytes",
      [](Reader, const std::string& g) {
        return with_second_line(
            g, [](const std::string& l) { return std::string(100, 'x') + " " + l; });
      },
      {{{"Cannot read {file}: line 2: \"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx...\" is not a "
         "number."},
        {"Cannot read {file}: line 2: \"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx...\" is not a "
         "number."},
        {"Cannot read {file}: line 2: \"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx...\" is not a "
         "number."},
        {"The block structure file {file}, line 2, holds "
         "\"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx...\", which is not a list of line numbers."},
        {"Cannot read {file}: line 2: \"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx...\" is not a "
         "number."},
        {"script: line 2: unknown step \"<*>\"\n"},
        {"Layout file \"{dir}{file}\", line 2, column 1: invalid JSON: syntax error while parsing "
         "object key - invalid literal; last read: '{<U+000A>x'; expected string literal"}}});
  add("InvalidUtf8",
      [](Reader, const std::string& g) {
        return with_second_line(
            g, [](const std::string& l) { return "\xc3\x28\xa0\xa1 \xe2\x28 " + l; });
      },
      {{{"Cannot read {file}: line 2: \"\xc3\x28\xa0\xa1\" is not a number."},
        {"Cannot read {file}: line 2: \"\xc3\x28\xa0\xa1\" is not a number."},
        {"Cannot read {file}: line 2: \"\xc3\x28\xa0\xa1\" is not a number."},
        {"The block structure file {file}, line 2, holds \"\xc3\x28\xa0\xa1 \xe2\x28  1  7  "
         "8\", which is not a list of line numbers."},
        {"Cannot read {file}: line 2: \"\xc3\x28\xa0\xa1\" is not a number."},
        {"script: line 2: unknown step \"\xc3\x28\xa0\xa1\"\n"},
        {"Layout file \"{dir}{file}\", line 2, column 1: invalid JSON: syntax error while parsing "
         "object key - invalid "
         "literal; last read: '{<U+000A>\xc3'; expected string literal"}}});
  add(
      "NameWithBlanksAndNonAscii", [](Reader, const std::string& g) { return g; },
      {{{"", true}, {"", true}, {"", true}, {"", true}, {"", true}, {"", true}, {"", true}}},
      Kind::kContent, "my data \xc3\xa9\xc3\xbc \xe4\xb8\xad.txt");
  add(
      "FolderGivenAsFile", [](Reader, const std::string& g) { return g; },
      {{{kNotRegular},
        {kNotRegular},
        {kNotRegular},
        {kNotRegular},
        {kNotRegular},
        {"script: Cannot read {file}: it is not a regular file.\n"},
        {"Layout file \"{dir}{file}\" cannot be read."}}},
      Kind::kFolder, "folder.txt");
  // Root reads any file, so this row is skipped when the tests run as root.
  add(
      "NoReadPermission", [](Reader, const std::string& g) { return g; },
      {{{"Cannot open {file}."},
        {"Cannot open the protocol file {file}."},
        {"Cannot open the protocol file {file}."},
        {"Cannot read the block structure file {file}."},
        {kNoProtocol},
        {"script: cannot read \"{dir}{file}\"\n"},
        {"Layout file \"{dir}{file}\" cannot be read."}}},
      Kind::kUnreadable);
  return r;
}

// ---------------------------------------------------------------------------------------

std::string fill(std::string text, const fs::path& dir, const std::string& file) {
  auto put = [&](const std::string& key, const std::string& value) {
    for (std::size_t p = text.find(key); p != std::string::npos;
         p = text.find(key, p + value.size()))
      text.replace(p, key.size(), value);
  };
  put("{dir}", dir.string() + "/");
  put("{file}", file);
  return text;
}

// A text equal to the expected one, where "<*>" in the expected text stands for any bytes (the
// quoted binary bytes of a file, which this test does not fix).
bool matches(const std::string& want, const std::string& got) {
  const std::size_t star = want.find("<*>");
  if (star == std::string::npos) return got == want;
  const std::string head = want.substr(0, star), tail = want.substr(star + 3);
  return got.size() >= head.size() + tail.size() && got.compare(0, head.size(), head) == 0 &&
         got.compare(got.size() - tail.size(), tail.size(), tail) == 0;
}

// The program as each reader meets it: data loaded, and the protocol or block structure in use
// that a refused file must leave in place.
void prepare(Session& s, Reader r) {
  if (r == kScript) return;
  s.act("Load", example("leaves.txt"));
  if (r == kLoadProto) s.act("LoadProto", example("protocol.txt"));
  if (r == kLoadProtoT) {
    s.act("CreateTarget");
    s.type("MaxBlockBox", "2");
    s.act("SetBlocks");
    s.act("LoadProtoT", example("protocol.txt"));
  }
  if (r == kLoadBlock || r == kLoadBlockProto) {
    s.act("CreateTarget");
    s.act("LoadBlock", example("blocks.txt"));
  }
  ASSERT_TRUE(s.ui.messages().empty()) << s.ui.messages().front();
  ASSERT_TRUE(s.ui.console_lines().empty()) << s.ui.console_lines().front();
  s.ui.clear_records();
}

// What one reader made of one file.
struct Outcome {
  std::string text;  // message box, script errors or layout failure; empty when none
  int messages = 0;
  std::vector<std::string> console;
  std::string script_out;
  std::vector<std::string> layout;  // the objects a layout made
};

// Puts the file where the reader looks for it and runs the reader.
Outcome run_reader(Session& s, Reader r, const fs::path& file, const ScratchDir& scratch) {
  Outcome o;
  switch (r) {
    case kLoad:
    case kLoadProto:
    case kLoadProtoT:
    case kLoadBlock:
      if (r == kLoadBlock)
        fs::copy_file(example("protocol.txt"), scratch / "protocol.txt",
                      fs::copy_options::overwrite_existing);
      s.act(kReaderNames[r], file);
      break;
    case kLoadBlockProto: {
      // A good block structure file beside the protocol it names.
      fs::path blocks = scratch / "names_the_protocol.txt";
      write_bytes(blocks, file.filename().string() + " \n 1  2 \n 3 \n");
      s.act("LoadBlock", blocks);
      break;
    }
    case kScript: {
      std::ostringstream out, err;
      const int rc = run_script(file.string(), out, err);
      o.text = err.str();
      o.script_out = out.str();
      EXPECT_EQ(rc, o.text.empty() ? 0 : 1) << o.text;
      return o;
    }
    case kLayout: {
      try {
        Handle fig = hgload(s.app.gfx, file.string());
        for (Handle h : s.app.gfx.findall(fig))
          o.layout.push_back(std::string(type_name(s.app.gfx.type(h))) + " " +
                             value_text(s.app.gfx.get(h, "Tag")));
      } catch (const Failure& f) {
        o.text = f.what();
      }
      return o;
    }
  }
  o.messages = static_cast<int>(s.ui.messages().size());
  if (!s.ui.messages().empty()) o.text = s.ui.messages().front();
  o.console = s.ui.console_lines();
  return o;
}

// Writes the row's file into the scratch folder; returns its path.
fs::path make_file(const Row& row, Reader r, const std::string& content, const ScratchDir& dir) {
  fs::path p = dir / row.file_name;
  if (row.kind == Kind::kFolder) {
    fs::create_directory(p);
    return p;
  }
  write_bytes(p, content);
  if (row.kind == Kind::kUnreadable) fs::permissions(p, fs::perms::none);
  (void)r;
  return p;
}

// The protocol a reader may leave behind must be one the editor can work with.
void expect_sound_protocol(const Session& s) {
  const auto& st = s.app.state;
  if (!st.proto || st.proto->empty()) return;
  const double k = static_cast<double>((st.reference->size() - 1) / 2);
  for (Eigen::Index i = 0; i < st.proto->count(); ++i)
    for (double v : {st.proto->line(i).first, st.proto->line(i).second})
      EXPECT_TRUE(is_whole(v) && v >= 1 && v <= k) << "line " << i + 1 << " end " << v;
}

struct Case {
  int row;
  Reader reader;
};

class HostileInput : public testing::TestWithParam<Case> {};

TEST_P(HostileInput, AnsweredAndNothingElseChanges) {
  static const std::vector<Row> table = rows();
  const Row& row = table[static_cast<std::size_t>(GetParam().row)];
  const Reader r = GetParam().reader;
  const Expect& want = row.expect[r];
  if (row.kind == Kind::kUnreadable && running_as_root())
    GTEST_SKIP() << "root reads files without read permission";

  ScratchDir scratch;
  const std::string good = good_content(r);
  const std::string content = row.make(r, good);
  Session s;
  prepare(s, r);
  const Snapshot before = snapshot(s);
  const fs::path file = make_file(row, r, content, scratch);
  const Outcome got = run_reader(s, r, file, scratch);
  const Snapshot after = snapshot(s);

  if (std::getenv("QIV_RECORD")) {
    std::printf("RECORD %s %s: %s\n", row.name, kReaderNames[r], escape_newlines(got.text).c_str());
    return;
  }
  EXPECT_PRED2(matches, fill(want.text, scratch.path(), row.file_name), got.text);
  EXPECT_TRUE(got.console.empty()) << "on the console: " << got.console.front();
  EXPECT_LE(got.messages, 1);
  expect_sound_protocol(s);

  if (r == kScript) {
    if (want.same_as_good) {
      write_bytes(scratch / "good.qiv", good);
      std::ostringstream out, err;
      run_script((scratch / "good.qiv").string(), out, err);
      EXPECT_EQ(got.script_out, out.str());
    }
    return;
  }
  if (r == kLayout) {
    if (!got.text.empty()) {
      EXPECT_EQ(difference(before, after), "") << "a refused layout changed the program";
    } else if (want.same_as_good) {
      write_bytes(scratch / "good.fig", good);
      Session g;
      EXPECT_EQ(run_reader(g, r, scratch / "good.fig", scratch).layout, got.layout);
    }
    return;
  }

  // Every reader, "LoadBlock" included, reads and checks the whole file before it changes
  // anything.
  if (!got.text.empty() && !want.late) {
    EXPECT_EQ(difference(before, after), "");
  }
  if (got.text.empty() && want.same_as_good) {
    // The same reader on the good file, under the same name in the same place.
    ScratchDir other_scratch;
    (void)other_scratch;
    Session g;
    prepare(g, r);
    write_bytes(file, good);
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    run_reader(g, r, file, scratch);
    EXPECT_EQ(difference(snapshot(g), after), "");
  }
}

std::vector<Case> all_cases() {
  std::vector<Case> out;
  const std::size_t n = rows().size();
  for (std::size_t i = 0; i < n; ++i)
    for (int r = 0; r < kReaders; ++r) out.push_back({static_cast<int>(i), static_cast<Reader>(r)});
  return out;
}

INSTANTIATE_TEST_SUITE_P(Rows, HostileInput, testing::ValuesIn(all_cases()),
                         [](const testing::TestParamInfo<Case>& info) {
                           static const std::vector<Row> table = rows();
                           return std::string(
                                      table[static_cast<std::size_t>(info.param.row)].name) +
                                  "_" + kReaderNames[info.param.reader];
                         });

// Inputs the fuzzers stopped on, kept in tests/reliability/hostile/ and given to every reader:
// each must be answered (a message, or read), with nothing on the console, no protocol the
// program cannot use, and, when refused by a reader other than "LoadBlock", nothing changed.
std::vector<std::string> hostile_files() {
  std::vector<std::string> out;
  std::error_code ec;
  for (const auto& e :
       fs::directory_iterator(source_dir() / "tests" / "reliability" / "hostile", ec))
    if (e.is_regular_file()) out.push_back(e.path().filename().string());
  std::sort(out.begin(), out.end());
  return out;
}

struct FileCase {
  std::string file;
  Reader reader;
};

class HostileFile : public testing::TestWithParam<FileCase> {};

TEST_P(HostileFile, AnsweredWithoutHarm) {
  const Reader r = GetParam().reader;
  ScratchDir scratch;
  const fs::path file = scratch / "hostile.txt";
  fs::copy_file(source_dir() / "tests" / "reliability" / "hostile" / GetParam().file, file);
  Session s;
  prepare(s, r);
  const Snapshot before = snapshot(s);
  const Outcome got = run_reader(s, r, file, scratch);
  EXPECT_TRUE(got.console.empty()) << "on the console: " << got.console.front();
  EXPECT_LE(got.messages, 1);
  expect_sound_protocol(s);
  if (r == kScript) {
    std::istringstream lines(got.text);
    std::string line;
    while (std::getline(lines, line)) EXPECT_EQ(line.rfind("script: ", 0), 0u) << line;
  } else if (r == kLayout) {
    if (!got.text.empty()) {
      EXPECT_EQ(got.text.rfind("Layout file \"" + file.string() + "\"", 0), 0u) << got.text;
      EXPECT_EQ(difference(before, snapshot(s)), "");
    }
  } else if (got.messages == 1 && r != kLoadBlock && r != kLoadBlockProto) {
    EXPECT_EQ(difference(before, snapshot(s)), "");
  }
}

std::vector<FileCase> file_cases() {
  std::vector<FileCase> out;
  for (const auto& f : hostile_files())
    for (int r = 0; r < kReaders; ++r) out.push_back({f, static_cast<Reader>(r)});
  return out;
}

INSTANTIATE_TEST_SUITE_P(Folder, HostileFile, testing::ValuesIn(file_cases()),
                         [](const testing::TestParamInfo<FileCase>& info) {
                           std::string name =
                               info.param.file + "_" + kReaderNames[info.param.reader];
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace
}  // namespace qiv::reliability
