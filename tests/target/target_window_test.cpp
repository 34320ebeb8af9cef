// Opening the target window, loading its protocol, highlighting a line, starting again.
#include <algorithm>

#include "target/target_actions.h"
#include "target/target_fixture.h"
#include "target/target_support.h"

namespace qiv {
namespace {

using TargetWindow = TargetFixture;

TEST(LengthBox, CountRightAlignedInThreePlaces) {
  const std::pair<long long, const char*> rows[] = {{0, "  0 Lengths requested"},
                                                    {7, "  7 Lengths requested"},
                                                    {42, " 42 Lengths requested"},
                                                    {120, "120 Lengths requested"},
                                                    {1234, "1234 Lengths requested"}};
  for (auto [m, text] : rows) EXPECT_EQ(lengths_text(m), text);
}

TEST_F(TargetWindow, LoadProtoTShowsTheProtocolOnTheMeanShape) {
  load_mean_shape();
  set_blocks({{1}}, 1);
  write("proto.txt", kFourLinesFile);
  std::filesystem::create_directories(dir_ / "other");
  std::filesystem::current_path(dir_ / "other");
  app.gfx.plot({0, 1}, {0, 1}, "g*");  // an earlier picture, gone after the load
  ui.answer_path(path("proto.txt"));
  run("LoadProtoT");

  EXPECT_TRUE(ui.messages().empty());
  EXPECT_EQ(member("proto"), "1 1 2\n2 2 3\n3 3 4\n4 4 5");
  EXPECT_EQ(member("protoname"), "proto.txt");
  EXPECT_EQ(string_of("LengthBox"),
            Value(List{Value("proto.txt"), Value("  4 Lengths requested")}));
  EXPECT_EQ(member("lineh"), "-1");
  EXPECT_EQ(enable("LoadProtoButton"), "off");
  EXPECT_EQ(app.gfx.current_figure(), target_fig);
  EXPECT_EQ(std::filesystem::current_path(), dir_);
  EXPECT_EQ(member("block"), "1");  // the blocks are not touched
  EXPECT_EQ(member("nblocks"), "1");

  Drawing d = drawing();
  ASSERT_EQ(d.points.size(), 6u);
  for (const Point& p : d.points) {
    EXPECT_EQ(p.color, color_of("r"));
    EXPECT_EQ(p.marker, Marker::kCircle);
  }
  ASSERT_EQ(d.segments.size(), 4u);
  ASSERT_EQ(d.labels.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(d.segments[i].color, color_of("k"));
    EXPECT_EQ(d.segments[i].x0, 10.0 * (i + 1));
    EXPECT_EQ(d.segments[i].x1, 10.0 * (i + 2));
    EXPECT_EQ(d.labels[i].text, std::to_string(i + 1));
    EXPECT_EQ(d.labels[i].color, color_of("r"));
    EXPECT_EQ(d.labels[i].x, 10.0 * (i + 1) + 5);
  }
}

TEST_F(TargetWindow, LoadProtoTRefusals) {
  std::filesystem::create_directories(dir_ / "files");
  write("files/bad.txt", "1 1 2 \n2 2 9 \n");
  write("files/words.txt", "1 1 2 \nx 2 3 \n");
  struct Case {
    const char* name;
    bool loaded;
    const char* answer;   // nullptr: cancel
    const char* message;  // nullptr: none
  };
  const Case cases[] = {
      {"before a data file", false, "proto.txt", "Load a landmark data file first."},
      {"cancelled", true, nullptr, nullptr},
      {"missing file", true, "files/missing.txt", "Cannot open the protocol file missing.txt."},
      {"landmark the mean shape lacks", true, "files/bad.txt",
       "Line 2 of bad.txt joins 2 and 9; landmark numbers are whole numbers from 1 to 6."},
      {"not numbers", true, "files/words.txt",
       "Cannot read words.txt: line 2: \"x\" is not a number."},
  };
  for (const Case& c : cases) {
    if (c.loaded) load_mean_shape();
    ui.clear_records();
    c.answer ? ui.answer_path(path(c.answer)) : ui.answer_cancel();
    Snapshot before = snapshot();
    run("LoadProtoT");
    EXPECT_EQ(snapshot(), before) << c.name;
    if (!c.loaded) {
      EXPECT_TRUE(ui.dialogs().empty()) << c.name;
    }
    if (c.message)
      EXPECT_EQ(ui.messages(), std::vector<std::string>{c.message}) << c.name;
    else
      EXPECT_TRUE(ui.messages().empty()) << c.name;
    while (ui.pending_answers() > 0) ui.get_file("", "");  // a refusal before the dialog
  }
}

TEST_F(TargetWindow, ShowMLineHidesTheEarlierHighlight) {
  ready({}, 0);
  type("TargetLineBox", "2");
  run("ShowMLine");  // nothing to hide after a load (lineh is -1)
  Handle first = std::stoll(member("lineh"));
  type("TargetLineBox", " 4 ");
  run("ShowMLine");
  Handle second = std::stoll(member("lineh"));

  EXPECT_NE(first, second);
  EXPECT_EQ(app.gfx.get(first, "Visible").str(), "off");
  EXPECT_EQ(app.gfx.get(second, "Visible").str(), "on");
  Drawing d = drawing();
  ASSERT_EQ(d.segments.size(), 2u);
  EXPECT_EQ(d.segments[1].color, color_of("m"));
  EXPECT_EQ(d.segments[1].width, 1.5f);
  EXPECT_EQ(d.segments[1].x0, 40);
  EXPECT_EQ(d.segments[1].x1, 50);
  EXPECT_TRUE(d.labels.empty());
  EXPECT_EQ(app.gfx.current_figure(), target_fig);
}

TEST_F(TargetWindow, ShowMLineAfterARedrawHidesNothing) {
  ready({{1}}, 1);
  run("ShowMLine");
  run("ShowBlockStructure");  // clears the axes: lineh names a deleted line
  type("TargetLineBox", "3");
  run("ShowMLine");
  EXPECT_TRUE(ui.messages().empty());
  Drawing d = drawing();
  EXPECT_EQ(d.segments.back().color, color_of("m"));
  EXPECT_TRUE(d.segments.back().visible);
}

TEST_F(TargetWindow, ClearTargetResetsTheWindowAndKeepsThePicture) {
  ready({{1, 2}, {3}}, 2);
  app.state.tmatrix = scalar(1);
  for (const char* tag : {"MaxBlockBox", "BlockBox", "LengthBox"}) type(tag, "x");
  type("CurrentBlockBox", "2");
  type("TargetLineBox", "3");
  set_control_enable(app.ctx, "SetBlocks", false);
  set_control_enable(app.ctx, "LoadProtoButton", true);
  run("ShowMLine");
  const std::string lineh = member("lineh");
  const auto drawn = snapshot().picture;

  run("ClearTarget");
  for (const char* m : {"proto", "block", "nblocks"}) EXPECT_EQ(member(m), "<no value>") << m;
  EXPECT_EQ(member("protoname"), "proto.txt");
  EXPECT_EQ(member("tmatrix"), "1");
  EXPECT_EQ(member("lineh"), lineh);
  for (const char* tag : {"MaxBlockBox", "BlockBox", "LengthBox"}) EXPECT_EQ(box(tag), " ") << tag;
  EXPECT_EQ(box("CurrentBlockBox"), "2");
  EXPECT_EQ(box("TargetLineBox"), "3");
  EXPECT_EQ(enable("SetBlocks"), "on");
  EXPECT_EQ(enable("LoadProtoButton"), "off");
  EXPECT_EQ(snapshot().picture, drawn);
}

TEST_F(TargetWindow, ButtonCycle) {
  load_mean_shape();
  write("proto.txt", kFourLinesFile);
  const struct {
    const char* action;
    const char* set_blocks;
    const char* load_proto;
  } steps[] = {
      {"SetBlocks", "off", "on"}, {"LoadProtoT", "off", "off"}, {"ClearTarget", "on", "off"},
      {"SetBlocks", "off", "on"}, {"LoadBlock", "on", "off"},
  };
  type("MaxBlockBox", "2");
  for (const auto& s : steps) {
    if (std::string(s.action) == "LoadProtoT") ui.answer_path(path("proto.txt"));
    if (std::string(s.action) == "LoadBlock") {
      write("blocks.txt", "proto.txt \n 1 \n");
      ui.answer_path(path("blocks.txt"));
    }
    if (std::string(s.action) == "SetBlocks") type("MaxBlockBox", "2");
    run(s.action);
    EXPECT_EQ(enable("SetBlocks"), s.set_blocks) << s.action;
    EXPECT_EQ(enable("LoadProtoButton"), s.load_proto) << s.action;
  }
  EXPECT_TRUE(ui.messages().empty());
}

TEST_F(TargetWindow, CreateTargetOpensOneWindowFromTheHomeFolder) {
  const std::string layouts = std::string(QIV_SOURCE_DIR) + "/layouts";
  app.state.figdir = layouts;
  run("CreateTarget");
  ASSERT_TRUE(app.state.menufigh);
  const Handle win = *app.state.menufigh;
  EXPECT_EQ(app.gfx.get(win, "Tag").str(), "TargetWindow");
  EXPECT_EQ(std::filesystem::current_path(), dir_);

  // The second run raises the same window, whose boxes keep what was typed.
  Handle max_box = kNoHandle;
  for (Handle h : app.gfx.findobj_tag("MaxBlockBox"))
    if (app.gfx.figure_of(h) == win) max_box = h;
  ASSERT_NE(max_box, kNoHandle);
  app.gfx.set(max_box, "String", Value("7"));
  app.gfx.figure(main_fig);
  run("CreateTarget");
  EXPECT_EQ(*app.state.menufigh, win);
  EXPECT_EQ(app.gfx.current_figure(), win);
  EXPECT_EQ(app.gfx.get(max_box, "String").str(), "7");
  const auto figs = app.gfx.figures();
  EXPECT_EQ(std::count_if(figs.begin(), figs.end(),
                          [&](Handle f) { return app.gfx.get(f, "Tag") == Value("TargetWindow"); }),
            1);
  EXPECT_EQ(std::filesystem::current_path(), dir_);
}

}  // namespace
}  // namespace qiv
