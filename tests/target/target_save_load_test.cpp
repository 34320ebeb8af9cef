// "SaveMatrix" and "LoadBlock" through the dispatcher, with files in a scratch folder.
#include "target/target_fixture.h"

namespace qiv {
namespace {

using SaveLoad = TargetFixture;

const char* kExampleBlocks =
    "proto.txt \n"
    " 1  2 \n"
    " 3 \n";
const char* kExampleMatrix =
    "The Protocol File used was proto.txt \n"
    "The Block Structure Files was blocks.txt blocks { 1  2  },{  3  },{ \n"
    " 1  1  0  0  \n"
    " 1  1  0  0  \n"
    " 0  0  1  0  \n"
    " 0  0  0  1  \n";

TEST_F(SaveLoad, WorkedExampleByteForByte) {
  ready({{1, 2}, {3}}, 2);
  std::filesystem::create_directories(dir_ / "out");
  ui.answer_path(path("blocks.txt"));
  ui.answer_path(path("out/matrix.txt"));
  run("SaveMatrix");

  EXPECT_EQ(read("blocks.txt"), kExampleBlocks);
  EXPECT_EQ(read("out/matrix.txt"), kExampleMatrix);
  EXPECT_EQ(member("tmatrix"), "1 1 0 0\n1 1 0 0\n0 0 1 0\n0 0 0 1");
  ASSERT_EQ(ui.dialogs().size(), 2u);
  EXPECT_TRUE(ui.dialogs()[0].save);
  EXPECT_EQ(ui.dialogs()[0].filter, "*.txt");
  EXPECT_EQ(ui.dialogs()[0].title, "Enter Name for Block Structure File");
  EXPECT_EQ(ui.dialogs()[1].filter, "*.txt");
  EXPECT_EQ(ui.dialogs()[1].title, "Enter Name for Target Matrix File");
  EXPECT_EQ(std::filesystem::current_path(), dir_ / "out");  // the last folder chosen
  EXPECT_TRUE(ui.messages().empty());
}

TEST_F(SaveLoad, CancelledDialogs) {
  struct Case {
    const char* name;
    bool first, second;  // answered or cancelled
    const char* blocks;  // nullptr: no file
    const char* matrix;
  };
  const Case cases[] = {
      {"first cancelled", false, true, nullptr,
       "The Protocol File used was proto.txt \n"
       "The Block Structure Files was  blocks { 1  2  },{  3  },{ \n"
       " 1  1  0  0  \n 1  1  0  0  \n 0  0  1  0  \n 0  0  0  1  \n"},
      {"second cancelled", true, false, kExampleBlocks, nullptr},
      {"both cancelled", false, false, nullptr, nullptr},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(dir_ / "blocks.txt");
    std::filesystem::remove(dir_ / "matrix.txt");
    ready({{1, 2}, {3}}, 2);
    app.state.tmatrix.reset();
    ui.clear_records();
    c.first ? ui.answer_path(path("blocks.txt")) : ui.answer_cancel();
    c.second ? ui.answer_path(path("matrix.txt")) : ui.answer_cancel();
    run("SaveMatrix");
    EXPECT_EQ(ui.dialogs().size(), 2u) << c.name;  // the matrix file is asked for anyway
    EXPECT_EQ(member("tmatrix"), "1 1 0 0\n1 1 0 0\n0 0 1 0\n0 0 0 1") << c.name;
    EXPECT_EQ(exists("blocks.txt"), c.blocks != nullptr) << c.name;
    if (c.blocks) {
      EXPECT_EQ(read("blocks.txt"), c.blocks) << c.name;
    }
    EXPECT_EQ(exists("matrix.txt"), c.matrix != nullptr) << c.name;
    if (c.matrix) {
      EXPECT_EQ(read("matrix.txt"), c.matrix) << c.name;
    }
  }
}

TEST_F(SaveLoad, BlockStructuresInBothFiles) {
  struct Case {
    const char* name;
    BlockList blocks;
    double nblocks;
    const char* blocks_file;
    const char* line2;
    const char* rows;
  };
  const Case cases[] = {
      {"empty blocks",
       {{}, {2, 4}, {}},
       3,
       "proto.txt \n \n 2  4 \n \n",
       "The Block Structure Files was b.txt blocks {  },{  2  4  },{   },{ \n",
       " 1  0  0  0  \n 0  1  0  1  \n 0  0  1  0  \n 0  1  0  1  \n"},
      {"no blocks",
       {},
       0,
       "proto.txt \n",
       "The Block Structure Files was b.txt blocks {\n",
       " 1  0  0  0  \n 0  1  0  0  \n 0  0  1  0  \n 0  0  0  1  \n"},
      {"a line in two blocks",
       {{1, 2}, {2, 3}},
       2,
       "proto.txt \n 1  2 \n 2  3 \n",
       "The Block Structure Files was b.txt blocks { 1  2  },{  2  3  },{ \n",
       " 1  1  0  0  \n 1  1  1  0  \n 0  1  1  0  \n 0  0  0  1  \n"},
      {"blocks above nblocks left out",
       {{4, 1}, {2, 3}, {9}},
       1,
       "proto.txt \n 4  1 \n",
       "The Block Structure Files was b.txt blocks { 4  1  },{ \n",
       " 1  0  0  1  \n 0  1  0  0  \n 0  0  1  0  \n 1  0  0  1  \n"},
  };
  for (const Case& c : cases) {
    ready(c.blocks, c.nblocks);
    ui.answer_path(path("b.txt"));
    ui.answer_path(path("m.txt"));
    run("SaveMatrix");
    EXPECT_EQ(read("b.txt"), c.blocks_file) << c.name;
    EXPECT_EQ(read("m.txt"),
              std::string("The Protocol File used was proto.txt \n") + c.line2 + c.rows)
        << c.name;
  }
  EXPECT_TRUE(ui.messages().empty());
}

TEST_F(SaveLoad, SaveMatrixRefusesBeforeWritingAnything) {
  struct Case {
    const char* name;
    BlockList blocks;
    double nblocks;
    bool protoname;
    const char* message;
  };
  const Case cases[] = {
      {"line above m",
       {{1}, {2, 5}},
       2,
       true,
       "Block 2 holds 5, which is not a protocol line number from 1 to 4."},
      {"zero read from a file",
       {{0}},
       1,
       true,
       "Block 1 holds 0, which is not a protocol line number from 1 to 4."},
      {"fraction",
       {{1.5}},
       1,
       true,
       "Block 1 holds 1.5, which is not a protocol line number from 1 to 4."},
      {"protocol without a file name",
       {{1}},
       1,
       false,
       "Load the protocol from its file first: the block structure file names it."},
  };
  for (const Case& c : cases) {
    ready(c.blocks, c.nblocks);
    if (!c.protoname) app.state.protoname.reset();
    ui.clear_records();
    ui.answer_path(path("b.txt"));
    ui.answer_path(path("m.txt"));
    Snapshot before = snapshot();
    run("SaveMatrix");
    EXPECT_EQ(ui.messages(), std::vector<std::string>{c.message}) << c.name;
    EXPECT_TRUE(ui.dialogs().empty()) << c.name;
    EXPECT_EQ(snapshot(), before) << c.name;
    while (ui.pending_answers() > 0) ui.get_file("", "");
  }
}

TEST_F(SaveLoad, AnUnwritableFileIsNamedAndTheMatrixStillFollows) {
  ready({{1, 2}, {3}}, 2);
  ui.answer_path(path("missing/blocks.txt"));
  ui.answer_path(path("matrix.txt"));
  run("SaveMatrix");
  EXPECT_EQ(ui.messages(),
            std::vector<std::string>{
                "Cannot write the block structure file blocks.txt: No such file or directory."});
  EXPECT_FALSE(exists("missing"));
  EXPECT_EQ(read("matrix.txt"), kExampleMatrix);
}

TEST_F(SaveLoad, LoadBlockReadsBackWhatWasSaved) {
  write("proto.txt", kFourLinesFile);
  ready({{1, 2}, {}, {4, 3}}, 3);
  ui.answer_path(path("blocks.txt"));
  ui.answer_path(path("matrix.txt"));
  run("SaveMatrix");
  run("ClearTarget");
  app.state.protoname.reset();
  std::filesystem::create_directories(dir_ / "elsewhere");
  std::filesystem::current_path(dir_ / "elsewhere");
  ui.clear_records();

  ui.answer_path(path("blocks.txt"));
  run("LoadBlock");
  EXPECT_TRUE(ui.messages().empty());
  ASSERT_EQ(ui.dialogs().size(), 1u);
  EXPECT_FALSE(ui.dialogs()[0].save);
  EXPECT_EQ(ui.dialogs()[0].filter, "*.txt");
  EXPECT_EQ(ui.dialogs()[0].title, "Enter Name of Block Structure File");
  EXPECT_EQ(std::filesystem::current_path(), dir_);

  EXPECT_EQ(member("protoname"), "proto.txt");
  EXPECT_EQ(member("nblocks"), "3");
  EXPECT_EQ(member("block"), "1 2\n\n4 3");
  EXPECT_EQ(member("proto"), "1 1 2\n2 2 3\n3 3 4\n4 4 5");
  EXPECT_EQ(member("lineh"), "-1");
  EXPECT_EQ(string_of("LengthBox"),
            Value(List{Value("proto.txt"), Value("  4 Lengths requested")}));
  EXPECT_EQ(box("BlockBox"), "1  2");
  EXPECT_EQ(box("CurrentBlockBox"), " 1 ");
  EXPECT_EQ(box("MaxBlockBox"), "3");
  EXPECT_EQ(enable("LoadProtoButton"), "off");
  EXPECT_EQ(enable("SetBlocks"), "on");
  EXPECT_EQ(app.gfx.current_figure(), target_fig);

  // The last picture is that of "ShowBlockStructure".
  const Drawing loaded = drawing();
  run("ShowBlockStructure");
  const Drawing shown = drawing();
  ASSERT_EQ(loaded.segments.size(), shown.segments.size());
  ASSERT_EQ(loaded.segments.size(), 4u + 4u);
  EXPECT_EQ(loaded.segments[4].color, color_of("r"));
  EXPECT_EQ(loaded.segments[6].color, color_of("b"));
  EXPECT_EQ(loaded.labels[0].color, color_of("k"));
}

TEST_F(SaveLoad, LoadBlockFindsAProtocolWhoseNameHoldsABlank) {
  write("my proto.txt", kFourLinesFile);
  ready({{2}}, 1);
  app.state.protoname = "my proto.txt";
  ui.answer_path(path("b.txt"));
  ui.answer_cancel();
  run("SaveMatrix");
  ASSERT_EQ(read("b.txt"), "my proto.txt \n 2 \n");
  ui.answer_path(path("b.txt"));
  run("LoadBlock");
  EXPECT_TRUE(ui.messages().empty());
  EXPECT_EQ(member("protoname"), "my proto.txt");
  EXPECT_EQ(member("proto"), "1 1 2\n2 2 3\n3 3 4\n4 4 5");
  EXPECT_EQ(box("BlockBox"), "2");
}

TEST_F(SaveLoad, LoadBlockWithAFirstLineOnlyGivesNoBlocks) {
  write("proto.txt", kFourLinesFile);
  write("b.txt", "proto.txt \n");
  load_mean_shape();
  type("BlockBox", "3");
  ui.answer_path(path("b.txt"));
  run("LoadBlock");
  EXPECT_TRUE(ui.messages().empty());
  EXPECT_EQ(member("nblocks"), "0");
  EXPECT_EQ(member("block"), "");
  EXPECT_EQ(box("BlockBox"), "");
  EXPECT_EQ(box("MaxBlockBox"), "0");
  EXPECT_EQ(box("CurrentBlockBox"), " 1 ");
  EXPECT_EQ(drawing().segments.size(), 4u);  // the protocol, no block lines
}

// A file that cannot be used stops "LoadBlock" after "ClearTarget" has reset the window.
TEST_F(SaveLoad, LoadBlockChangesNothingWhenTheFileCannotBeUsed) {
  write("empty.txt", "");
  write("elsewhere.txt", "proto.txt \n 1 \n 2 \n");  // no proto.txt beside it
  write("wrong.txt", "bad.txt \n 1 \n");
  write("bad.txt", "1 1 9 \n");
  write("words.txt", "words.txt \n 1 \n");  // names itself: not a table of numbers
  write("comment.txt", "bad.txt \n 1 # the first block\n");
  std::filesystem::create_directories(dir_ / "folder.txt");
  struct Case {
    const char* name;
    const char* file;
    const char* message;
  };
  const Case cases[] = {
      {"missing file", "missing.txt", "Cannot read the block structure file missing.txt."},
      {"a folder", "folder.txt", "Cannot read folder.txt: it is not a regular file."},
      {"empty file", "empty.txt", "The block structure file empty.txt is empty."},
      {"protocol in another folder", "elsewhere.txt",
       "Error loading protocol file, make sure protocol file and block structure file are in "
       "the same directory"},
      {"protocol naming landmarks the mean shape lacks", "wrong.txt",
       "Line 1 of bad.txt joins 1 and 9; landmark numbers are whole numbers from 1 to 6."},
      {"protocol that is not numbers", "words.txt",
       "Cannot read words.txt: line 1: \"words.txt\" is not a number."},
      {"a block line with words", "comment.txt",
       "The block structure file comment.txt, line 2, holds \"1 # the first block\", which is "
       "not a list of line numbers."},
  };
  for (const Case& c : cases) {
    ready({{1, 2}}, 1);
    app.state.protoname = "old.txt";
    for (const char* tag : {"MaxBlockBox", "BlockBox", "LengthBox"}) type(tag, "x");
    set_control_enable(app.ctx, "SetBlocks", false);
    set_control_enable(app.ctx, "LoadProtoButton", true);
    type("CurrentBlockBox", "2");
    const Snapshot before = snapshot();
    const auto cwd = std::filesystem::current_path();
    ui.clear_records();
    ui.answer_path(path(c.file));
    run("LoadBlock");
    EXPECT_EQ(ui.messages(), std::vector<std::string>{c.message}) << c.name;
    EXPECT_EQ(snapshot(), before) << c.name;
    EXPECT_EQ(std::filesystem::current_path(), cwd) << c.name;
  }
}

TEST_F(SaveLoad, LoadBlockCancelledChangesNothing) {
  ready({{1, 2}}, 1);
  type("BlockBox", "3");
  ui.answer_cancel();
  Snapshot before = snapshot();
  run("LoadBlock");
  EXPECT_EQ(snapshot(), before);
  EXPECT_TRUE(ui.messages().empty());
}

TEST_F(SaveLoad, LoadBlockShowsBadNumbersOfAHandWrittenFile) {
  write("proto.txt", kFourLinesFile);
  write("b.txt", "proto.txt\n1 0 2\n7\n");
  load_mean_shape();
  ui.answer_path(path("b.txt"));
  run("LoadBlock");  // refused before it takes anything
  EXPECT_EQ(member("block"), "<no value>");
  EXPECT_EQ(box("BlockBox"), "");
  EXPECT_EQ(ui.messages(),
            std::vector<std::string>{
                "Block 1 holds 0, which is not a protocol line number from 1 to 4."});
  ui.clear_records();
  ui.answer_path(path("m.txt"));
  run("SaveMatrix");
  EXPECT_FALSE(exists("m.txt"));
  EXPECT_EQ(ui.messages().size(), 1u);
}

}  // namespace
}  // namespace qiv
