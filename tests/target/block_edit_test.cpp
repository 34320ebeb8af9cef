// Fixing the number of blocks, storing and moving between blocks, and drawing them.
#include "target/target_fixture.h"

namespace qiv {
namespace {

using BlockEdit = TargetFixture;

TEST_F(BlockEdit, SetBlocksGrowsAndEmptiesOnlyTheLastBlock) {
  struct Case {
    const char* name;
    std::optional<BlockList> before;
    const char* typed;
    const char* block;  // describe_member: one line per block
  };
  const Case cases[] = {
      {"cleared structure", std::nullopt, "5", "\n\n\n\n"},
      {"fewer blocks: blocks above kept", BlockList{{1}, {2}, {3}, {4}}, "2", "1\n\n3\n4"},
      {"more blocks", BlockList{{1}}, " 3 ", "1\n\n"},
      {"no blocks", std::nullopt, "0", ""},
  };
  for (const Case& c : cases) {
    app.state.blocks = BlockStructure(c.before, std::nullopt);
    type("MaxBlockBox", c.typed);
    set_control_enable(app.ctx, "SetBlocks", true);
    run("SetBlocks");
    EXPECT_EQ(member("block"), c.block) << c.name;
    EXPECT_EQ(member("nblocks"), num2str(str2num(c.typed)(0, 0))) << c.name;
    EXPECT_EQ(enable("SetBlocks"), "off") << c.name;
    EXPECT_EQ(enable("LoadProtoButton"), "on") << c.name;
  }
  EXPECT_TRUE(ui.messages().empty());
}

TEST_F(BlockEdit, AddBlocksCountsFromTheBox) {
  set_blocks({{1}, {2}, {3}, {4}}, 4);
  type("MaxBlockBox", "3");
  run("AddBlocks");
  EXPECT_EQ(member("nblocks"), "4");
  EXPECT_EQ(box("MaxBlockBox"), "4");
  EXPECT_EQ(member("block"), "1\n2\n3\n");

  type("MaxBlockBox", "1");  // edited by the user
  run("AddBlocks");
  EXPECT_EQ(member("nblocks"), "2");
  EXPECT_EQ(box("MaxBlockBox"), "2");
  EXPECT_EQ(member("block"), "1\n\n3\n");  // block 3 and beyond stay beyond the count
  EXPECT_TRUE(ui.messages().empty());
}

TEST_F(BlockEdit, BlockEnterStoresTheTextAsTheCurrentBlock) {
  struct Case {
    const char* current;
    const char* text;
    const char* block;
  };
  const Case cases[] = {
      {"1", "3 0 4 0", "3 4\n2"},  // zeros dropped
      {"2", "4 2 4", "1\n4 2 4"},  // repeats kept, not sorted
      {" 2 ", "", "1\n"},          // no list: an empty block
      {"1", "abc", "\n2"},
      {"2", "0 0", "1\n"},
      {"4", "1:3", "1\n2\n\n1 2 3"},  // above nblocks: block grows, count does not
  };
  for (const Case& c : cases) {
    ready({{1}, {2}}, 2);
    type("CurrentBlockBox", c.current);
    type("BlockBox", c.text);
    const auto drawn = snapshot().picture;
    run("BlockEnter");
    EXPECT_EQ(member("block"), c.block) << c.text;
    EXPECT_EQ(member("nblocks"), "2") << c.text;
    EXPECT_EQ(box("BlockBox"), c.text) << c.text;
    EXPECT_EQ(box("CurrentBlockBox"), c.current) << c.text;
    EXPECT_EQ(snapshot().picture, drawn) << c.text;
  }
  EXPECT_TRUE(ui.messages().empty());
}

TEST_F(BlockEdit, BlockUpAndDownStoreOnlyWhenTheyMove) {
  ready({{1}, {2, 3}, {4}}, 3);
  // At the last block BlockUp changes nothing, not even block 3.
  type("CurrentBlockBox", "3");
  type("BlockBox", "1 2");
  Snapshot before = snapshot();
  run("BlockUp");
  EXPECT_EQ(snapshot(), before);

  // BlockDown stores the edited text as block 3 and shows block 2.
  run("BlockDown");
  EXPECT_EQ(member("block"), "1\n2 3\n1 2");
  EXPECT_EQ(box("CurrentBlockBox"), "2");
  EXPECT_EQ(box("BlockBox"), "2  3");

  // At block 1 BlockDown changes nothing.
  type("CurrentBlockBox", "1");
  type("BlockBox", "4");
  before = snapshot();
  run("BlockDown");
  EXPECT_EQ(snapshot(), before);
  EXPECT_TRUE(ui.messages().empty());
}

TEST_F(BlockEdit, GoingUpAndBackShowsTheStoredForm) {
  ready({{}, {4}}, 2);
  type("CurrentBlockBox", "1");
  type("BlockBox", "1,  2");
  run("BlockUp");
  EXPECT_EQ(box("CurrentBlockBox"), "2");
  EXPECT_EQ(box("BlockBox"), "4");
  run("BlockDown");
  EXPECT_EQ(box("CurrentBlockBox"), "1");
  EXPECT_EQ(box("BlockBox"), "1  2");
  EXPECT_EQ(member("block"), "1 2\n4");
}

TEST_F(BlockEdit, BlockDownFromAboveTheCountStoresThere) {
  ready({{1}, {2}}, 2);
  type("CurrentBlockBox", "4");
  type("BlockBox", "3");
  run("BlockDown");
  EXPECT_EQ(member("block"), "1\n2\n\n3");
  EXPECT_EQ(box("CurrentBlockBox"), "3");
  EXPECT_EQ(box("BlockBox"), "");
}

TEST_F(BlockEdit, AddLinetoBlockAppendsTheTypedLine) {
  ready({}, 0);
  const std::pair<const char*, const char*> steps[] = {
      {"4", " 4"}, {"3", " 4 3"}, {" 2", " 4 3  2"}};
  type("BlockBox", "");
  for (auto [line, text] : steps) {
    type("TargetLineBox", line);
    run("AddLinetoBlock");
    EXPECT_EQ(box("BlockBox"), text);
  }
  EXPECT_EQ(member("block"), "");  // only the text changes
}

TEST_F(BlockEdit, ReplotMRedrawsTheProtocolOnTheMeanShape) {
  ready({}, 0);
  run("ShowMLine");
  run("ReplotM");
  Drawing d = drawing();
  EXPECT_EQ(d.points.size(), 6u);
  for (const Point& p : d.points) EXPECT_EQ(p.marker, Marker::kPlus);
  ASSERT_EQ(d.segments.size(), 4u);
  for (const Segment& s : d.segments) EXPECT_EQ(s.color, color_of("k"));
  ASSERT_EQ(d.labels.size(), 4u);
  for (const Label& l : d.labels) EXPECT_EQ(l.color, color_of("r"));
  EXPECT_EQ(member("lineh"), "-1");
  EXPECT_EQ(app.gfx.current_figure(), target_fig);
}

TEST_F(BlockEdit, ShowAllBlockStoresAndDrawsTheBlockInGreen) {
  ready({{1}}, 1);
  run("ShowMLine");
  const std::string lineh = member("lineh");
  type("CurrentBlockBox", "2");
  type("BlockBox", "4 0 2");
  run("ShowAllBlock");

  EXPECT_EQ(member("block"), "1\n4 2");
  EXPECT_EQ(member("lineh"), lineh);  // kept, though the line is gone
  Drawing d = drawing();
  EXPECT_EQ(d.points.size(), 6u);
  for (const Point& p : d.points) EXPECT_EQ(p.marker, Marker::kCircle);
  ASSERT_EQ(d.segments.size(), 6u);  // four protocol lines, then lines 4 and 2
  for (int i = 0; i < 4; ++i) EXPECT_EQ(d.segments[i].color, color_of("k"));
  EXPECT_EQ(d.segments[4].color, color_of("g"));
  EXPECT_EQ(d.segments[4].width, 1.5f);
  EXPECT_EQ(d.segments[4].x0, 40);
  EXPECT_EQ(d.segments[5].x0, 20);
  ASSERT_EQ(d.labels.size(), 6u);
  EXPECT_EQ(d.labels[4].text, "4");
  EXPECT_EQ(d.labels[4].color, color_of("g"));
  EXPECT_EQ(d.labels[5].text, "2");
  EXPECT_EQ(d.labels[0].color, color_of("r"));
  EXPECT_EQ(app.gfx.current_figure(), target_fig);
}

TEST_F(BlockEdit, ShowBlockStructureDrawsEveryBlockInItsStyle) {
  // Fifteen blocks, block k holding line (k - 1) mod 4 + 1; block 16 is above the count.
  BlockList blocks;
  for (int k = 1; k <= 16; ++k) blocks.push_back({static_cast<double>((k - 1) % 4 + 1)});
  ready(blocks, 15);
  run("ShowBlockStructure");
  EXPECT_TRUE(ui.messages().empty());

  Drawing d = drawing();
  ASSERT_EQ(d.points.size(), 12u);  // "r+" then "ro"
  EXPECT_EQ(d.points[0].marker, Marker::kPlus);
  EXPECT_EQ(d.points[6].marker, Marker::kCircle);
  ASSERT_EQ(d.segments.size(), 4u + 15u);
  ASSERT_EQ(d.labels.size(), 4u + 15u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(d.segments[i].color, color_of("k"));
    EXPECT_EQ(d.labels[i].color, color_of("k"));  // black numbers under the blocks
  }
  const char* colors = "rgbmyc";
  for (int k = 1; k <= 15; ++k) {
    const Segment& s = d.segments[3 + k];
    const Label& l = d.labels[3 + k];
    const std::string color(1, colors[(k - 1) % 6]);
    const bool dotted = (k - 1) % 12 >= 6;
    EXPECT_EQ(s.color, color_of(color.c_str())) << k;
    EXPECT_EQ(s.style, dotted ? LineStyle::kDotted : LineStyle::kSolid) << k;
    EXPECT_EQ(s.width, 1.5f) << k;
    EXPECT_EQ(s.x0, 10.0 * ((k - 1) % 4 + 1)) << k;
    EXPECT_EQ(l.text, std::to_string((k - 1) % 4 + 1)) << k;
    EXPECT_EQ(l.color, color_of(color.c_str())) << k;
  }
  EXPECT_EQ(app.gfx.current_figure(), target_fig);
}

// Each action needs something that is not there yet: a message box says what to do first,
// and nothing changes.
TEST_F(BlockEdit, ActionsRefuseUntilTheirInputsExist) {
  const char* kLoad = "Load a landmark data file first.";
  const char* kProto = "Load a protocol file or start a new protocol first.";
  const char* kBlocks = "Set the number of blocks or load a block structure file first.";
  enum Stage { kNothing, kLoaded, kProtocol };
  struct Case {
    const char* action;
    Stage stage;
    const char* message;
  };
  const Case cases[] = {
      {"ShowMLine", kNothing, kLoad},
      {"ShowMLine", kLoaded, kProto},
      {"ReplotM", kNothing, kLoad},
      {"ReplotM", kLoaded, kProto},
      {"ShowAllBlock", kNothing, kLoad},
      {"ShowAllBlock", kLoaded, kProto},
      {"ShowAllBlock", kProtocol, kBlocks},
      {"ShowBlockStructure", kNothing, kLoad},
      {"ShowBlockStructure", kLoaded, kProto},
      {"ShowBlockStructure", kProtocol, kBlocks},
      {"BlockUp", kLoaded, kProto},
      {"BlockUp", kProtocol, kBlocks},
      {"BlockDown", kLoaded, kProto},
      {"BlockDown", kProtocol, kBlocks},
      {"BlockEnter", kLoaded, kProto},
      {"BlockEnter", kProtocol, kBlocks},
      {"AddLinetoBlock", kLoaded, kProto},
      {"SaveMatrix", kLoaded, kProto},
      {"SaveMatrix", kProtocol, kBlocks},
      {"LoadBlock", kNothing, kLoad},
  };
  for (const Case& c : cases) {
    app.state = SharedState{};
    if (c.stage >= kLoaded) load_mean_shape();
    if (c.stage >= kProtocol) load_protocol();
    type("CurrentBlockBox", "2");
    type("BlockBox", "1 2");
    ui.clear_records();
    Snapshot before = snapshot();
    run(c.action);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{c.message}) << c.action << " " << c.stage;
    EXPECT_EQ(snapshot(), before) << c.action << " " << c.stage;
    EXPECT_TRUE(ui.dialogs().empty()) << c.action;
  }
}

// Numbers typed into the boxes that are not whole numbers in range: a message, no change.
TEST_F(BlockEdit, TypedNumbersOutOfRangeAreRefused) {
  struct Case {
    const char* action;
    const char* tag;
    const char* typed;
    const char* message;
  };
  const Case cases[] = {
      {"SetBlocks", "MaxBlockBox", "abc",
       "The number of blocks must be a whole number from 0 to 100000 (not \"abc\")."},
      {"SetBlocks", "MaxBlockBox", " -1 ",
       "The number of blocks must be a whole number from 0 to 100000 (not \"-1\")."},
      {"SetBlocks", "MaxBlockBox", "2.5",
       "The number of blocks must be a whole number from 0 to 100000 (not \"2.5\")."},
      {"SetBlocks", "MaxBlockBox", "1e9",
       "The number of blocks must be a whole number from 0 to 100000 (not \"1e9\")."},
      {"SetBlocks", "MaxBlockBox", "2 3",
       "The number of blocks must be a whole number from 0 to 100000 (not \"2 3\")."},
      {"AddBlocks", "MaxBlockBox", "",
       "To add a block, the number of blocks must be a whole number from 0 to 99999 (not \"\")."},
      {"AddBlocks", "MaxBlockBox", "100000",
       "To add a block, the number of blocks must be a whole number from 0 to 99999 (not "
       "\"100000\")."},
      {"BlockEnter", "CurrentBlockBox", "0",
       "The current block must be a whole number from 1 to 100000 (not \"0\")."},
      {"ShowAllBlock", "CurrentBlockBox", "x",
       "The current block must be a whole number from 1 to 100000 (not \"x\")."},
      {"BlockUp", "CurrentBlockBox", "1.5",
       "The current block must be a whole number from 1 to 100000 (not \"1.5\")."},
      {"BlockDown", "CurrentBlockBox", "NaN",
       "The current block must be a whole number from 1 to 100000 (not \"NaN\")."},
      {"ShowMLine", "TargetLineBox", "5",
       "The line to show must be a whole number from 1 to 4 (not \"5\")."},
      {"ShowMLine", "TargetLineBox", "",
       "The line to show must be a whole number from 1 to 4 (not \"\")."},
      {"AddLinetoBlock", "TargetLineBox", "0",
       "The line to add must be a whole number from 1 to 4 (not \"0\")."},
      {"AddLinetoBlock", "TargetLineBox", "2 3",
       "The line to add must be a whole number from 1 to 4 (not \"2 3\")."},
  };
  for (const Case& c : cases) {
    ready({{1}, {2}}, 2);
    type("MaxBlockBox", "2");
    type("CurrentBlockBox", "1");
    type("BlockBox", "3");
    type("TargetLineBox", "2");
    type(c.tag, c.typed);
    ui.clear_records();
    Snapshot before = snapshot();
    run(c.action);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{c.message}) << c.action << " " << c.typed;
    EXPECT_EQ(snapshot(), before) << c.action << " " << c.typed;
  }
}

// A block text holding a number that is no protocol line is not stored.
TEST_F(BlockEdit, BlocksNamingNoProtocolLineAreNotStored) {
  struct Case {
    const char* action;
    const char* current;
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"BlockEnter", "2", "1 9",
       "Block 2 holds 9, which is not a protocol line number from 1 to 4."},
      {"ShowAllBlock", "1", "2.5",
       "Block 1 holds 2.5, which is not a protocol line number from 1 to 4."},
      {"BlockUp", "1", "-1 3",
       "Block 1 holds -1, which is not a protocol line number from 1 to 4."},
      {"BlockDown", "2", "Inf",
       "Block 2 holds Inf, which is not a protocol line number from 1 to 4."},
      {"BlockEnter", "3", "5", "Block 3 holds 5, which is not a protocol line number from 1 to 4."},
  };
  for (const Case& c : cases) {
    ready({{1}, {2}}, 2);
    type("CurrentBlockBox", c.current);
    type("BlockBox", c.text);
    ui.clear_records();
    Snapshot before = snapshot();
    run(c.action);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{c.message}) << c.action;
    EXPECT_EQ(snapshot(), before) << c.action;
  }
}

TEST_F(BlockEdit, ShowBlockStructureRefusesBlocksReadWithBadNumbers) {
  ready({{1}, {0, 2}, {}}, 3);
  Snapshot before = snapshot();
  run("ShowBlockStructure");
  EXPECT_EQ(ui.messages(),
            std::vector<std::string>{
                "Block 2 holds 0, which is not a protocol line number from 1 to 4."});
  EXPECT_EQ(snapshot(), before);
}

TEST_F(BlockEdit, AnEmptyProtocolHasNoLinesToGroup) {
  load_mean_shape();
  app.state.proto = Protocol::started();
  set_blocks({{}}, 1);
  run("ShowBlockStructure");  // draws the mean shape only
  EXPECT_EQ(drawing().segments.size(), 0u);
  type("BlockBox", "1");
  run("BlockEnter");
  type("TargetLineBox", "1");
  run("AddLinetoBlock");
  EXPECT_EQ(ui.messages(),
            (std::vector<std::string>{"Block 1 holds 1, but the protocol has no lines.",
                                      "The protocol has no lines to add."}));
}

}  // namespace
}  // namespace qiv
