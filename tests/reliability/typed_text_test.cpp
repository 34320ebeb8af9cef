// Text typed into every edit box an action reads, against every action that reads it: empty,
// blanks, letters, negative, fractional, huge and out-of-range numbers. Each action must
// either do what it does with a number it can use or show its message, never fail on the
// console, and never leave a protocol, a block structure or an output file that the program
// could not use: proto stays n x 3 with landmark numbers 1..k in columns 2-3, every block
// holds protocol line numbers 1..m, and files written parse back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "data/landmark_file.h"
#include "protocol/protocol_model.h"
#include "reliability/reliability_support.h"
#include "target/block_text.h"
#include "target/target_files.h"
#include "target/target_support.h"

namespace qiv::reliability {
namespace {

// The example data: 12 landmarks, a protocol of 8 lines, 2 blocks.
constexpr int kLandmarks = 12;
constexpr int kLines = 8;
constexpr int kBlocks = 2;

enum class Typed {
  kEmpty,
  kBlanks,
  kLetters,
  kNegative,
  kFraction,
  kHuge,
  kOutOfRange,
  kZero,
  kNaN
};
const Typed kAllTyped[] = {Typed::kEmpty,      Typed::kBlanks,   Typed::kLetters,
                           Typed::kNegative,   Typed::kFraction, Typed::kHuge,
                           Typed::kOutOfRange, Typed::kZero,     Typed::kNaN};

const char* typed_name(Typed t) {
  switch (t) {
    case Typed::kEmpty:
      return "Empty";
    case Typed::kBlanks:
      return "Blanks";
    case Typed::kLetters:
      return "Letters";
    case Typed::kNegative:
      return "Negative";
    case Typed::kFraction:
      return "Fraction";
    case Typed::kHuge:
      return "Huge";
    case Typed::kOutOfRange:
      return "OutOfRange";
    case Typed::kZero:
      return "Zero";
    case Typed::kNaN:
      return "NaN";
  }
  return "";
}

// What a box holds, by kind: landmark numbers, protocol line numbers, block numbers, block
// counts, or lists of these.
enum class BoxKind { kLandmark, kLine, kBlock, kBlockCount, kLandmarkList, kLineList };

// The number a typed text stands for, as messages write it (num2str).
std::string typed_value(Typed t, BoxKind kind) {
  switch (t) {
    case Typed::kNegative:
      return "-3";
    case Typed::kFraction:
      return "2.5";
    case Typed::kHuge:
      return "1e+300";
    case Typed::kZero:
      return "0";
    case Typed::kNaN:
      return "NaN";
    case Typed::kOutOfRange:
      return kind == BoxKind::kLandmark || kind == BoxKind::kLandmarkList
                 ? std::to_string(kLandmarks + 1)
             : kind == BoxKind::kLine || kind == BoxKind::kLineList
                 ? std::to_string(kLines + 1)
                 : std::to_string(kMaxBlocks + 1);
    default:
      return "";
  }
}

bool is_list(BoxKind kind) { return kind == BoxKind::kLandmarkList || kind == BoxKind::kLineList; }

// The text typed into the box. A list box gets the value after a usable list ("1 7 -3"), so
// that the value itself, not the length of the list, decides; empty and blank boxes stay so.
std::string typed_text(Typed t, BoxKind kind) {
  if (is_list(kind) && t != Typed::kEmpty && t != Typed::kBlanks)
    return "1 7 " +
           typed_text(t, kind == BoxKind::kLandmarkList ? BoxKind::kLandmark : BoxKind::kLine);
  switch (t) {
    case Typed::kEmpty:
      return "";
    case Typed::kBlanks:
      return "   ";
    case Typed::kLetters:
      return "abc";
    case Typed::kNegative:
      return "-3";
    case Typed::kFraction:
      return "2.5";
    case Typed::kHuge:
      return "1e300";
    case Typed::kZero:
      return "0";
    case Typed::kNaN:
      return "NaN";
    case Typed::kOutOfRange:
      switch (kind) {
        case BoxKind::kLandmark:
        case BoxKind::kLandmarkList:
          return std::to_string(kLandmarks + 1);
        case BoxKind::kLine:
        case BoxKind::kLineList:
          return std::to_string(kLines + 1);
        case BoxKind::kBlock:
        case BoxKind::kBlockCount:
          return std::to_string(kMaxBlocks + 1);
      }
  }
  return "";
}

struct BoxAction {
  const char* box;
  BoxKind kind;
  const char* action;
  // The message for a text the action cannot use: {typed} stands for the text in quotes
  // without its outer blanks, {value} for the number as num2str writes it. Empty when the
  // action takes every text.
  const char* refusal;
  // The texts the action takes although refusal is set.
  std::vector<Typed> taken;
  // A different message for some texts.
  std::map<Typed, const char*> other = {};
  // The texts whose number the action leaves out, saying so in the status bar.
  std::vector<Typed> left_out = {};
};

const std::vector<Typed> kNone;
const std::vector<Typed> kNoListNumber{Typed::kEmpty, Typed::kBlanks, Typed::kLetters};
const std::vector<Typed> kNoLandmark{Typed::kNegative,   Typed::kFraction, Typed::kHuge,
                                     Typed::kOutOfRange, Typed::kZero,     Typed::kNaN};
const std::vector<Typed> kNoLine{Typed::kEmpty, Typed::kBlanks, Typed::kLetters, Typed::kZero};
const char* const kEnd1 =
    "The first landmark of \"Line between\" must be one landmark number from 1 to 12.";
const char* const kEnd2 =
    "The second landmark of \"Line between\" must be one landmark number from 1 to 12.";
const char* const kLandmark = "Enter a landmark number from 1 to 12.";
const char* const kMidline =
    "Midline landmark {value} is not a landmark number: use whole numbers from 1 to 12.";
const char* const kTwoMidline = "There must be at least two midline points to backreflect";
const char* const kCurrent =
    "The current block must be a whole number from 1 to 100000 (not {typed}).";
const char* const kBlock1 =
    "Block 1 holds {value}, which is not a protocol line number from 1 to 8.";
const char* const kTooFew = "A subset needs at least two landmarks. Nothing was written.";

// Every edit box and every action that reads it.
const BoxAction kBoxActions[] = {
    {"EndBox1", BoxKind::kLandmark, "AddLine", kEnd1, kNone},
    {"EndBox1", BoxKind::kLandmark, "ShowLine", kEnd1, kNone},
    {"EndBox2", BoxKind::kLandmark, "AddLine", kEnd2, kNone},
    {"EndBox2", BoxKind::kLandmark, "ShowLine", kEnd2, kNone},
    {"ActivePointBox", BoxKind::kLine, "ShowLine2", "Line number is outside of the protocol",
     kNone},
    {"ActivePointBox", BoxKind::kLine, "DeleteLine",
     "Deleted Value is outside of the number of points in the protocol", kNone},
    {"PointBox", BoxKind::kLandmark, "ShowThisLandmark", kLandmark, kNone},
    {"PointBox", BoxKind::kLandmark, "AddLMtoSubset", "", kNone},
    {"SubsetBox", BoxKind::kLandmarkList, "InvertSubset", "", kNone, {}, kNoLandmark},
    {"SubsetBox", BoxKind::kLandmarkList, "ShowSubset", "", kNone, {}, kNoLandmark},
    {"SubsetBox", BoxKind::kLandmarkList, "ShowAll", "", kNone, {}, kNoLandmark},
    // Numbers that name no landmark select nothing: "1 7 -3" is the subset 1, 7.
    {"SubsetBox", BoxKind::kLandmarkList, "SaveSubset", kTooFew, kNoLandmark, {}, kNoLandmark},
    {"SubsetBox", BoxKind::kLandmarkList, "AddLMtoSubset", "", kNone},
    {"ActiveLMBox", BoxKind::kLandmark, "ShowMidline", kLandmark, kNone},
    {"ActiveLMBox", BoxKind::kLandmark, "AddMidline", "", kNone},
    {"MidBox", BoxKind::kLandmarkList, "ShowAllMidline", kMidline, kNoListNumber},
    // After the two baseline entries a whole number above 12 marks nothing: reflected.
    {"MidBox",
     BoxKind::kLandmarkList,
     "MidlineReflect",
     kMidline,
     {Typed::kHuge, Typed::kOutOfRange},
     {{Typed::kEmpty, kTwoMidline}, {Typed::kBlanks, kTwoMidline}, {Typed::kLetters, kTwoMidline}},
     {Typed::kHuge, Typed::kOutOfRange}},
    {"MidBox", BoxKind::kLandmarkList, "AddMidline", "", kNone},
    {"MaxBlockBox",
     BoxKind::kBlockCount,
     "SetBlocks",
     "The number of blocks must be a whole number from 0 to 100000 (not {typed}).",
     {Typed::kZero}},
    {"MaxBlockBox",
     BoxKind::kBlockCount,
     "AddBlocks",
     "To add a block, the number of blocks must be a whole number from 0 to 99999 (not {typed}).",
     {Typed::kZero}},
    {"CurrentBlockBox", BoxKind::kBlock, "ShowAllBlock", kCurrent, kNone},
    {"CurrentBlockBox", BoxKind::kBlock, "BlockUp", kCurrent, kNone},
    {"CurrentBlockBox", BoxKind::kBlock, "BlockDown", kCurrent, kNone},
    {"CurrentBlockBox", BoxKind::kBlock, "BlockEnter", kCurrent, kNone},
    {"BlockBox", BoxKind::kLineList, "ShowAllBlock", kBlock1, kNoLine},
    {"BlockBox", BoxKind::kLineList, "BlockUp", kBlock1, kNoLine},
    // From block 2, so that the move happens and stores the text as block 2.
    {"BlockBox", BoxKind::kLineList, "BlockDown",
     "Block 2 holds {value}, which is not a protocol line number from 1 to 8.", kNoLine},
    {"BlockBox", BoxKind::kLineList, "BlockEnter", kBlock1, kNoLine},
    {"BlockBox", BoxKind::kLineList, "AddLinetoBlock", "", kNone},
    {"TargetLineBox", BoxKind::kLine, "ShowMLine",
     "The line to show must be a whole number from 1 to 8 (not {typed}).", kNone},
    {"TargetLineBox", BoxKind::kLine, "AddLinetoBlock",
     "The line to add must be a whole number from 1 to 8 (not {typed}).", kNone},
};

std::string expected_message(const BoxAction& ba, Typed t) {
  auto o = ba.other.find(t);
  std::string text = o != ba.other.end() ? o->second : ba.refusal;
  if (o == ba.other.end() && std::find(ba.taken.begin(), ba.taken.end(), t) != ba.taken.end())
    return "";
  auto put = [&](const std::string& key, const std::string& value) {
    const std::size_t p = text.find(key);
    if (p != std::string::npos) text.replace(p, key.size(), value);
  };
  put("{typed}", quote_typed(typed_text(t, ba.kind)));
  put("{value}", typed_value(t, ba.kind));
  return text;
}

// A session with everything the actions read: the example data, its protocol (with the line
// count it shows), the three secondary windows, and the block structure; the other boxes
// hold usable numbers, so that the box under test decides the outcome.
void prepare(Session& s) {
  s.act("Load", example("leaves.txt"));
  s.act("LoadProto", example("protocol.txt"));
  s.act("MakeSubset");
  s.act("DoBackReflect");
  s.act("CreateTarget");
  s.act("LoadBlock", example("blocks.txt"));
  s.type("EndBox1", "2");
  s.type("EndBox2", "5");
  s.type("ActivePointBox", "3");
  s.type("PointBox", "4");
  s.type("SubsetBox", "1 3 5");
  s.type("ActiveLMBox", "6");
  s.type("MidBox", "1 7");
  s.type("MaxBlockBox", "2");
  s.type("CurrentBlockBox", "1");
  s.type("BlockBox", "1 7 8");
  s.type("TargetLineBox", "2");
  ASSERT_TRUE(s.ui.messages().empty()) << s.ui.messages().front();
  ASSERT_TRUE(s.ui.console_lines().empty()) << s.ui.console_lines().front();
  s.ui.clear_records();
}

// The protocol the program keeps must be one it can draw, save and read back.
void expect_sound_protocol(const SharedState& st) {
  ASSERT_TRUE(st.proto.has_value());
  const Protocol& p = *st.proto;
  for (Eigen::Index i = 0; i < p.count(); ++i) {
    const ProtocolLine& l = p.line(i);
    EXPECT_TRUE(is_whole(l.number) && l.number >= 0) << "stored number of line " << i + 1;
    for (double v : {l.first, l.second})
      EXPECT_TRUE(is_whole(v) && v >= 1 && v <= kLandmarks) << "line " << i + 1 << " end " << v;
  }
}

// Every block the program keeps names protocol lines.
void expect_sound_blocks(const SharedState& st) {
  ASSERT_TRUE(st.blocks.in_use());
  EXPECT_TRUE(st.blocks.count() >= 0 && st.blocks.count() <= kMaxBlocks) << st.blocks.count();
  const long long m = st.proto->count();
  for (std::size_t k = 0; k < st.blocks.lists().size(); ++k)
    for (double n : st.blocks.lists()[k])
      EXPECT_TRUE(is_whole(n) && n >= 1 && n <= static_cast<double>(m))
          << "block " << k + 1 << " holds " << n;
}

// The files the session can write now read back as the program's own files.
void expect_files_parse_back(Session& s, const ScratchDir& scratch) {
  s.ui.clear_records();
  // Protocol: reads back as the same matrix.
  s.act("SaveProtocol", scratch / "protocol_out.txt");
  auto proto = dload((scratch / "protocol_out.txt").string());
  ASSERT_TRUE(proto.has_value());
  if (s.app.state.proto->table().rows() > 0) {
    EXPECT_EQ(*proto, s.app.state.proto->table());
  } else {
    EXPECT_EQ(proto->size(), 0);
  }
  // Block structure and target matrix: the blocks read back, the matrix is m x m of 0 and 1.
  s.ui.answer_path((scratch / "blocks_out.txt").string());
  s.act("SaveMatrix", scratch / "matrix_out.txt");
  if (s.ui.messages().empty()) {
    auto blocks = parse_block_structure(read_bytes(scratch / "blocks_out.txt"));
    ASSERT_TRUE(blocks.has_value());
    const long long n = s.app.state.blocks.count();
    ASSERT_EQ(static_cast<long long>(blocks->blocks.size()), n);
    for (long long k = 1; k <= n; ++k)
      EXPECT_EQ(blocks->blocks[static_cast<std::size_t>(k - 1)], s.app.state.blocks.at(k));
    const auto lines = split_lines(read_bytes(scratch / "matrix_out.txt"));
    const long long m = s.app.state.proto->count();
    ASSERT_EQ(static_cast<long long>(lines.size()), m + 2);
    for (long long i = 0; i < m; ++i) {
      Matrix row = str2num(lines[static_cast<std::size_t>(i) + 2]);
      ASSERT_EQ(row.size(), m) << lines[static_cast<std::size_t>(i) + 2];
      for (Eigen::Index j = 0; j < row.size(); ++j) EXPECT_TRUE(row(0, j) == 0 || row(0, j) == 1);
    }
  }
  // The back-reflected data set: as many specimens as the data, an odd count of numbers.
  if (s.app.state.rdata) {
    s.act("SaveReflected", scratch / "reflected_out.txt");
    auto r = dload((scratch / "reflected_out.txt").string());
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->rows(), s.app.state.data->rows());
    EXPECT_EQ(r->cols() % 2, 1);
    EXPECT_TRUE(r->allFinite());
  }
  EXPECT_TRUE(s.ui.console_lines().empty()) << s.ui.console_lines().front();
}

struct Case {
  BoxAction ba;
  Typed typed;
};

class TypedText : public testing::TestWithParam<Case> {};

// The landmark numbers 1..k that a list text names.
std::vector<double> named_landmarks(const std::string& text) {
  std::vector<double> out;
  Matrix m = str2num(text);
  for (Eigen::Index i = 0; i < m.size(); ++i) {
    const double v = m.data()[i];
    if (is_whole(v) && v >= 1 && v <= kLandmarks &&
        std::find(out.begin(), out.end(), v) == out.end())
      out.push_back(v);
  }
  return out;
}

std::vector<double> numbers_of(const std::string& text) {
  Matrix m = str2num(text);
  return std::vector<double>(m.data(), m.data() + m.size());
}

// What an action does with a text it takes.
void expect_outcome(Session& s, const BoxAction& ba,
                    const std::map<std::string, std::string>& old) {
  const std::string action = ba.action;
  const auto& st = s.app.state;
  if (action == "AddLMtoSubset") {
    EXPECT_EQ(s.box("SubsetBox"), old.at("SubsetBox") + " " + old.at("PointBox"));
  } else if (action == "AddMidline") {
    EXPECT_EQ(s.box("MidBox"), old.at("MidBox") + " " + old.at("ActiveLMBox") + " ");
  } else if (action == "AddLinetoBlock") {
    EXPECT_EQ(s.box("BlockBox"), old.at("BlockBox") + " " + old.at("TargetLineBox"));
  } else if (action == "InvertSubset") {
    std::vector<double> want;
    const auto in = named_landmarks(old.at("SubsetBox"));
    for (int j = 1; j <= kLandmarks; ++j)
      if (std::find(in.begin(), in.end(), j) == in.end()) want.push_back(j);
    EXPECT_EQ(numbers_of(s.box("SubsetBox")), want);
  } else if (action == "SetBlocks") {
    EXPECT_EQ(st.blocks.count(), 0);
  } else if (action == "AddBlocks") {
    EXPECT_EQ(st.blocks.count(), 1);
    EXPECT_EQ(s.box("MaxBlockBox"), "1");
    EXPECT_EQ(st.blocks.at(1), LineList{});
  } else if (action == "ShowAllBlock" || action == "BlockEnter") {
    EXPECT_EQ(st.blocks.at(1), block_text_to_list(old.at("BlockBox")));
  } else if (action == "BlockUp") {
    EXPECT_EQ(s.box("CurrentBlockBox"), "2");
    EXPECT_EQ(st.blocks.at(1), block_text_to_list(old.at("BlockBox")));
    EXPECT_EQ(s.box("BlockBox"), "2  3  4  5  6");
  } else if (action == "BlockDown") {
    EXPECT_EQ(s.box("CurrentBlockBox"), "1");
    EXPECT_EQ(st.blocks.at(2), block_text_to_list(old.at("BlockBox")));
    EXPECT_EQ(s.box("BlockBox"), "1  7  8");
  }
}

TEST_P(TypedText, MessageOrOutcomeNeverCorruption) {
  const BoxAction& ba = GetParam().ba;
  const Typed typed = GetParam().typed;
  const std::string text = typed_text(typed, ba.kind);
  const std::string action = ba.action;
  ScratchDir scratch;
  Session s;
  prepare(s);
  if (HasFatalFailure()) return;
  if (action == "BlockDown") s.type("CurrentBlockBox", "2");
  // A file that a refused save must leave as it was.
  const std::string old_content = "an older file\n";
  write_bytes(scratch / "subset_out.txt", old_content);
  if (action == "SaveSubset") s.ui.answer_path((scratch / "subset_out.txt").string());

  s.type(ba.box, text);
  std::map<std::string, std::string> old;
  for (const char* box :
       {"SubsetBox", "PointBox", "MidBox", "ActiveLMBox", "BlockBox", "TargetLineBox"})
    old[box] = s.box(box);
  const Snapshot before = snapshot(s);
  s.app.action(ba.action);
  while (s.ui.pending_answers() > 0) s.ui.get_file("", "");  // a refusal before its dialog

  const auto& messages = s.ui.messages();
  const std::string got = messages.empty() ? "" : messages.front();
  const std::string want = expected_message(ba, typed);
  EXPECT_EQ(got, want);
  EXPECT_TRUE(s.ui.console_lines().empty()) << "on the console: " << s.ui.console_lines().front();
  EXPECT_LE(messages.size(), 1u);
  if (!want.empty()) {
    EXPECT_EQ(difference(before, snapshot(s)), "") << "a refusal changed the program";
  } else {
    expect_outcome(s, ba, old);
  }
  // The status bar names what was left out (after what was saved), and nothing else does.
  const bool left = std::count(ba.left_out.begin(), ba.left_out.end(), typed) > 0;
  const std::string said = s.ui.statuses().empty() ? "" : s.ui.statuses().back().text;
  const std::string left_text =
      "Left out: " + typed_value(typed, ba.kind) + " (landmarks are 1\u201312)";
  EXPECT_EQ(said.size() >= left_text.size() && said.ends_with(left_text), left) << said;
  expect_sound_protocol(s.app.state);
  expect_sound_blocks(s.app.state);
  if (action == "SaveSubset") {
    const std::string now = read_bytes(scratch / "subset_out.txt");
    if (!want.empty()) {
      EXPECT_EQ(now, old_content);
    } else {
      // The subset 1, 7 of every specimen: two landmarks and the size.
      auto written = dload((scratch / "subset_out.txt").string());
      ASSERT_TRUE(written.has_value());
      EXPECT_EQ(written->rows(), s.app.state.data->rows());
      EXPECT_EQ(written->cols(), 5);
      EXPECT_TRUE(written->allFinite());
    }
  }
  expect_files_parse_back(s, scratch);
}

std::vector<Case> all_cases() {
  std::vector<Case> out;
  for (const auto& ba : kBoxActions)
    for (Typed t : kAllTyped) out.push_back({ba, t});
  return out;
}

INSTANTIATE_TEST_SUITE_P(Boxes, TypedText, testing::ValuesIn(all_cases()),
                         [](const testing::TestParamInfo<Case>& info) {
                           return std::string(info.param.ba.box) + "_" + info.param.ba.action +
                                  "_" + typed_name(info.param.typed);
                         });

}  // namespace

}  // namespace qiv::reliability
