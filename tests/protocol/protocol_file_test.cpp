// The protocol file: what "SaveProtocol" writes byte for byte, what "LoadProto" reads back,
// and the files "LoadProto" refuses without changing anything.
#include <gtest/gtest.h>

#include "data/landmark_file.h"
#include "platform/file_io.h"
#include "protocol/protocol_fixture.h"
#include "protocol/protocol_model.h"

namespace qiv {
namespace {

class ProtocolFile : public ProtocolFixture {
 protected:
  void SetUp() override {
    ProtocolFixture::SetUp();
    load_mean_shape();
  }
  void TearDown() override {
    set_write_fault_for_testing(-1);
    ProtocolFixture::TearDown();
  }

  void save_as(const std::filesystem::path& p) {
    ui.answer_path(p.string());
    run("SaveProtocol");
  }
  void load_from(const std::filesystem::path& p) {
    ui.answer_path(p.string());
    run("LoadProto");
  }
};

TEST_F(ProtocolFile, SaveWritesOneLinePerRowInTheIntegerFormat) {
  struct Case {
    const char* name;
    Protocol proto;
    const char* bytes;
  };
  const Case cases[] = {
      {"empty marker", Protocol::started(), "-1 -1 -1 \n"},
      {"no rows", Protocol(), ""},
      {"gaps in column 1", proto_of({{1, 2, 7}, {3, 7, 12}, {3, 1, 1}}),
       "1 2 7 \n3 7 12 \n3 1 1 \n"},
      {"large stored number", proto_of({{123456789012, 12, 1}}), "123456789012 12 1 \n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ui.clear_records();
    app.state.proto = c.proto;
    app.state.protoname = "loaded.txt";
    std::filesystem::create_directories(path("out"));
    save_as(path("out") / "p.txt");
    EXPECT_EQ(read(path("out") / "p.txt"), c.bytes);
    EXPECT_EQ(std::filesystem::current_path(), path("out"));
    EXPECT_EQ(ylabel_text(), "Active Protocal Name: p.txt");
    EXPECT_EQ(*app.state.protoname, "loaded.txt") << "saving does not rename the protocol";
    EXPECT_EQ(*app.state.proto, c.proto);
    EXPECT_TRUE(ui.messages().empty());
    ASSERT_EQ(ui.dialogs().size(), 1u);
    EXPECT_TRUE(ui.dialogs()[0].save);
    EXPECT_EQ(ui.dialogs()[0].filter, "*.txt");
    EXPECT_EQ(ui.dialogs()[0].title, "Please Enter Filename for protocol");
  }
}

TEST_F(ProtocolFile, SaveAfterNewProtoWritesTheMarkerAndLeavesProtonameUnset) {
  run("NewProto");
  save_as(path("new.txt"));
  EXPECT_EQ(read(path("new.txt")), "-1 -1 -1 \n");
  EXPECT_FALSE(app.state.protoname.has_value());
}

TEST_F(ProtocolFile, SaveReplacesAnExistingFile) {
  write("p.txt", "old content that is longer than the protocol\n1 2 3 \n");
  app.state.proto = proto_of({{1, 4, 5}});
  save_as(path("p.txt"));
  EXPECT_EQ(read(path("p.txt")), "1 4 5 \n");
}

TEST_F(ProtocolFile, CancelledSaveChangesNothing) {
  app.state.proto = proto_of({{1, 4, 5}});
  const Snapshot before = snapshot();
  ui.answer_cancel();
  run("SaveProtocol");
  EXPECT_EQ(snapshot(), before);
  EXPECT_TRUE(ui.messages().empty());
}

TEST_F(ProtocolFile, AFailedWriteKeepsTheOldFileButChangesTheFolder) {
  write("p.txt", "1 2 3 \n");
  app.state.proto = proto_of({{1, 4, 5}, {2, 6, 7}});
  const std::string label = ylabel_text();
  set_write_fault_for_testing(3);
  save_as(path("p.txt"));
  EXPECT_EQ(ui.messages(), std::vector<std::string>{"Error on file opening"});
  EXPECT_EQ(read(path("p.txt")), "1 2 3 \n");
  EXPECT_EQ(ylabel_text(), label);
  EXPECT_EQ(std::filesystem::current_path(), dir());
  EXPECT_EQ(std::vector<std::string>{"p.txt"}, [this] {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir()))
      names.push_back(e.path().filename().string());
    return names;
  }()) << "no temporary file left behind";
}

TEST_F(ProtocolFile, SaveIntoAMissingFolderFails) {
  app.state.proto = proto_of({{1, 4, 5}});
  const Snapshot before = snapshot();
  save_as(path("missing") / "p.txt");
  EXPECT_EQ(ui.messages(), std::vector<std::string>{"Error on file opening"});
  EXPECT_EQ(snapshot(), before);
  EXPECT_FALSE(std::filesystem::exists(path("missing")));
}

TEST_F(ProtocolFile, RoundTripKeepsStoredNumbersWithGaps) {
  run("NewProto");
  add(1, 2);
  add(3, 4);
  add(5, 6);
  add(7, 8);
  type("ActivePointBox", "2");
  run("DeleteLine");
  const Protocol built = *app.state.proto;
  ASSERT_EQ(built, proto_of({{1, 1, 2}, {3, 5, 6}, {4, 7, 8}}));
  save_as(path("gaps.txt"));
  EXPECT_EQ(read(path("gaps.txt")), "1 1 2 \n3 5 6 \n4 7 8 \n");
  EXPECT_EQ(dload(path("gaps.txt").string()), built.table())
      << "the reader returns the same matrix";

  type("EndBox1", "9");
  type("EndBox2", "10");
  run("ShowLine");
  const Handle highlight = *app.state.lineh;
  run("NewProto");
  std::filesystem::current_path(old_cwd());
  load_from(path("gaps.txt"));
  EXPECT_TRUE(ui.messages().empty());
  EXPECT_EQ(*app.state.proto, built);
  EXPECT_EQ(*app.state.protoname, "gaps.txt");
  EXPECT_EQ(box("ProtoPointBox"), "3");
  EXPECT_EQ(ylabel_text(), "Loaded Protocol is : gaps.txt");
  EXPECT_EQ(*app.state.lineh, kNoHandle);
  EXPECT_FALSE(app.gfx.ishandle(highlight)) << "the axes were cleared";
  EXPECT_EQ(std::filesystem::current_path(), dir());
  EXPECT_EQ(points("o").size(), static_cast<std::size_t>(kLandmarks));
  auto segs = segments();
  auto labels = texts();
  ASSERT_EQ(segs.size(), 3u);
  ASSERT_EQ(labels.size(), 3u);
  expect_segment(segs[1], 5, 6);
  expect_label(labels[0], "1", 1, 2);
  expect_label(labels[1], "2", 5, 6);
  expect_label(labels[2], "3", 7, 8);
  ASSERT_EQ(ui.dialogs().size(), 2u);
  EXPECT_FALSE(ui.dialogs()[1].save);
  EXPECT_EQ(ui.dialogs()[1].filter, "*.*");
  EXPECT_EQ(ui.dialogs()[1].title, "Enter file to Load?");
}

// A file written by hand loads like one the program wrote.
TEST_F(ProtocolFile, HandWrittenFilesLoadAlike) {
  struct Case {
    const char* name;
    const char* bytes;
  };
  const Case cases[] = {
      {"as saved", "2 7 12 \n5 1 3 \n"},
      {"no blank before the line end", "2 7 12\n5 1 3\n"},
      {"no final line end", "2 7 12 \n5 1 3"},
      {"CR LF line ends", "2 7 12 \r\n5 1 3 \r\n"},
      {"tabs, commas and extra blanks", "  2\t7, 12\n5   1 3  \n"},
      {"data end at an empty line", "2 7 12 \n5 1 3 \n\nnot a protocol line\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ui.clear_records();
    write("hand.txt", c.bytes);
    load_from(path("hand.txt"));
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(*app.state.proto, proto_of({{2, 7, 12}, {5, 1, 3}}));
    EXPECT_EQ(box("ProtoPointBox"), "2");
    EXPECT_EQ(segments().size(), 2u);
  }
}

TEST_F(ProtocolFile, TheMarkerFileLoadsAsAnEmptyProtocol) {
  write("empty.txt", "-1 -1 -1 \n");
  load_from(path("empty.txt"));
  EXPECT_TRUE(ui.messages().empty());
  EXPECT_EQ(*app.state.proto, Protocol::started());
  EXPECT_EQ(box("ProtoPointBox"), "0") << "the count of an empty protocol, so AddLine fills row 1";
  EXPECT_TRUE(segments().empty());
  EXPECT_TRUE(texts().empty());
  add(3, 9);
  EXPECT_EQ(*app.state.proto, proto_of({{1, 3, 9}}));
}

TEST_F(ProtocolFile, AnEmptyFileLoadsAsAProtocolOfNoRows) {
  write("none.txt", "");
  load_from(path("none.txt"));
  EXPECT_TRUE(ui.messages().empty());
  EXPECT_EQ(*app.state.proto, Protocol());
  EXPECT_EQ(box("ProtoPointBox"), "0");
  EXPECT_EQ(*app.state.protoname, "none.txt");
  save_as(path("again.txt"));
  EXPECT_EQ(read(path("again.txt")), "");
}

TEST_F(ProtocolFile, NewProtoAfterLoadProtoDropsTheLoadedLines) {
  write("p.txt", "1 5 9 \n2 2 3 \n");
  load_from(path("p.txt"));
  run("NewProto");
  add(9, 5);
  EXPECT_TRUE(ui.messages().empty()) << "a line of the loaded protocol can be added again";
  save_as(path("q.txt"));
  EXPECT_EQ(read(path("q.txt")), "1 9 5 \n");
}

TEST_F(ProtocolFile, CancelledLoadChangesNothing) {
  write("p.txt", "1 5 9 \n");
  load_from(path("p.txt"));
  std::filesystem::current_path(old_cwd());
  ui.clear_records();
  const Snapshot before = snapshot();
  ui.answer_cancel();
  run("LoadProto");
  EXPECT_EQ(snapshot(), before);
  EXPECT_TRUE(ui.messages().empty());
  EXPECT_EQ(ui.dialogs().size(), 1u);
}

// Each refused file leaves the protocol, its name, the count, the picture and the current
// folder as they were, and names the file and its first bad line.
TEST_F(ProtocolFile, BadFilesAreRefusedWithNothingChanged) {
  struct Case {
    const char* name;
    const char* bytes;  // nullptr: the file does not exist
    const char* message;
    bool exact;  // false: the reader's own text, which must name the file and the line
  };
  const Case cases[] = {
      {"missing.txt", nullptr, "Cannot open the protocol file missing.txt.", true},
      {"words.txt", "1 2 3\n2 4 x\n", "line 2", false},
      {"header.txt", "line from to\n1 2 3\n", "line 1", false},
      {"blank.txt", "\n1 2 3\n", "line 1", false},
      {"ragged.txt", "1 2 3\n2 4 5 6\n", "line 2", false},
      {"two.txt", "1 2\n3 4\n",
       "Line 1 of two.txt holds 2 numbers; a protocol line holds three: its number and its two "
       "landmark numbers.",
       true},
      {"one.txt", "7\n",
       "Line 1 of one.txt holds 1 number; a protocol line holds three: its number and its two "
       "landmark numbers.",
       true},
      {"beyond.txt", "1 2 3\n2 4 13\n",
       "Line 2 of beyond.txt joins 4 and 13; landmark numbers are whole numbers from 1 to 12.",
       true},
      {"zero.txt", "1 0 3\n",
       "Line 1 of zero.txt joins 0 and 3; landmark numbers are whole numbers from 1 to 12.", true},
      {"half.txt", "1 2 3\n2 3 4\n3 2.5 3\n",
       "Line 3 of half.txt joins 2.5 and 3; landmark numbers are whole numbers from 1 to 12.",
       true},
      {"nan.txt", "1 2 NaN\n",
       "Line 1 of nan.txt joins 2 and NaN; landmark numbers are whole numbers from 1 to 12.", true},
      {"number.txt", "1 2 3\n1.5 2 3\n",
       "Line 2 of number.txt starts with 1.5; a protocol line starts with its number, a whole "
       "number not below 0.",
       true},
      {"marked.txt", "-1 -1 -1\n1 2 3\n",
       "Line 1 of marked.txt starts with -1; a protocol line starts with its number, a whole "
       "number not below 0.",
       true},
      {"halfmarker.txt", "-1 5 6\n",
       "Line 1 of halfmarker.txt starts with -1; a protocol line starts with its number, a "
       "whole number not below 0.",
       true},
  };
  write("good.txt", "1 1 2 \n2 3 4 \n");
  load_from(path("good.txt"));
  type("EndBox1", "5");
  type("EndBox2", "6");
  run("ShowLine");
  ASSERT_TRUE(ui.messages().empty());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::current_path(old_cwd());
    ui.clear_records();
    if (c.bytes) write(c.name, c.bytes);
    const Snapshot before = snapshot();
    load_from(path(c.name));
    ASSERT_EQ(ui.messages().size(), 1u);
    if (c.exact) {
      EXPECT_EQ(ui.messages()[0], c.message);
    } else {
      EXPECT_NE(ui.messages()[0].find(c.name), std::string::npos) << ui.messages()[0];
      EXPECT_NE(ui.messages()[0].find(c.message), std::string::npos) << ui.messages()[0];
    }
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(*app.state.protoname, "good.txt");
  }
}

}  // namespace
}  // namespace qiv
