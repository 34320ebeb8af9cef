// Adding, deleting, highlighting and redrawing protocol lines on a mean shape of twelve
// landmarks, and the refusals that must leave everything as it was.
#include <gtest/gtest.h>

#include "protocol/protocol_fixture.h"
#include "protocol/protocol_model.h"

namespace qiv {
namespace {

class ProtocolEdit : public ProtocolFixture {
 protected:
  void SetUp() override {
    ProtocolFixture::SetUp();
    load_mean_shape();
  }

  // A protocol as "LoadProto" leaves it, drawn and counted.
  void start_with(const Protocol& proto) {
    app.state.proto = proto;
    type("ProtoPointBox", num2str(static_cast<double>(proto.count())));
    run("ShowProto");
    ui.clear_records();
  }
};

TEST_F(ProtocolEdit, NewProtoStartsTheMarkerAndKeepsThePicture) {
  start_with(proto_of({{1, 2, 3}, {2, 3, 4}}));
  type("EndBox1", "1");
  type("EndBox2", "5");
  run("ShowLine");
  const Handle highlight = *app.state.lineh;
  const auto drawn = app.gfx.children(ax);

  run("NewProto");
  EXPECT_EQ(*app.state.proto, Protocol::started());
  EXPECT_EQ(box("ProtoPointBox"), "0");
  EXPECT_EQ(*app.state.lineh, kNoHandle);
  EXPECT_EQ(ylabel_text(), "New Protocol in Use");
  EXPECT_EQ(app.gfx.children(ax), drawn) << "the old lines stay until the next redraw";
  EXPECT_EQ(app.gfx.get(highlight, "Visible").str(), "on") << "untracked, not hidden";
  EXPECT_TRUE(ui.messages().empty());
}

TEST_F(ProtocolEdit, AddLineAfterNewProtoFillsRowOneThenAppends) {
  run("NewProto");
  const std::size_t before = app.gfx.children(ax).size();
  add(5, 9);
  EXPECT_EQ(*app.state.proto, proto_of({{1, 5, 9}}));
  EXPECT_EQ(box("ProtoPointBox"), "1");
  add(2, 7);
  EXPECT_EQ(*app.state.proto, proto_of({{1, 5, 9}, {2, 2, 7}}));
  EXPECT_EQ(box("ProtoPointBox"), "2");

  // Each addition draws one black segment and no label.
  ASSERT_EQ(app.gfx.children(ax).size(), before + 2);
  auto segs = segments();
  ASSERT_EQ(segs.size(), 2u);
  expect_segment(segs[0], 5, 9);
  expect_segment(segs[1], 2, 7);
  for (Handle h : segs) {
    EXPECT_EQ(app.gfx.get(h, "Color").matrix(), row({0, 0, 0}));
    EXPECT_EQ(app.gfx.get(h, "LineStyle").str(), "-");
  }
  EXPECT_TRUE(texts().empty());
  EXPECT_TRUE(ui.messages().empty());
}

TEST_F(ProtocolEdit, LineFromALandmarkToItselfIsAdded) {
  run("NewProto");
  add(4, 4);
  EXPECT_EQ(*app.state.proto, proto_of({{1, 4, 4}}));
  EXPECT_TRUE(ui.messages().empty());
}

// A line a-b is the line b-a; every row is examined, the last one as well as the first.
TEST_F(ProtocolEdit, DuplicatesAreRefusedInBothOrientations) {
  struct Case {
    const char* name;
    Protocol proto;
    double a, b;
  };
  const Case cases[] = {
      {"9-5 against 5-9", proto_of({{1, 9, 5}}), 5, 9},
      {"same orientation", proto_of({{1, 5, 9}}), 5, 9},
      {"in the first of three rows", proto_of({{1, 9, 5}, {2, 1, 2}, {3, 3, 4}}), 5, 9},
      {"in the last of three rows", proto_of({{1, 1, 2}, {2, 3, 4}, {7, 9, 5}}), 5, 9},
      {"self line", proto_of({{1, 4, 4}}), 4, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    start_with(c.proto);
    type_ends(c.a, c.b);
    const Snapshot before = snapshot();
    run("AddLine");
    EXPECT_EQ(ui.messages(),
              std::vector<std::string>{"Line Not added, since it is already in protocol"});
    EXPECT_EQ(snapshot(), before);
  }
}

TEST_F(ProtocolEdit, TheSameLineAddedTwiceIsRefusedTheSecondTime) {
  run("NewProto");
  add(5, 9);
  ASSERT_TRUE(ui.messages().empty());
  type_ends(9, 5);
  const Snapshot before = snapshot();
  run("AddLine");
  EXPECT_EQ(ui.messages(),
            std::vector<std::string>{"Line Not added, since it is already in protocol"});
  EXPECT_EQ(snapshot(), before);
}

TEST_F(ProtocolEdit, DeleteKeepsStoredNumbersAndRelabelsByPosition) {
  start_with(proto_of({{1, 1, 2}, {2, 3, 4}, {3, 5, 6}}));
  type("ActivePointBox", "2");
  run("DeleteLine");
  EXPECT_EQ(*app.state.proto, proto_of({{1, 1, 2}, {3, 5, 6}}));
  EXPECT_EQ(box("ProtoPointBox"), "2");
  auto segs = segments();
  auto labels = texts();
  ASSERT_EQ(segs.size(), 2u);
  ASSERT_EQ(labels.size(), 2u);
  expect_segment(segs[0], 1, 2);
  expect_segment(segs[1], 5, 6);
  expect_label(labels[0], "1", 1, 2);
  expect_label(labels[1], "2", 5, 6);

  add(7, 8);
  EXPECT_EQ(*app.state.proto, proto_of({{1, 1, 2}, {3, 5, 6}, {3, 7, 8}}))
      << "the count 2 puts the line in row 3 with the stored number 3";
  EXPECT_EQ(box("ProtoPointBox"), "3");
}

TEST_F(ProtocolEdit, DeleteRemovesFirstMiddleAndLastRows) {
  struct Case {
    const char* which;
    Protocol after;
  };
  const Case cases[] = {
      {"1", proto_of({{2, 3, 4}, {3, 5, 6}})},
      {"2", proto_of({{1, 1, 2}, {3, 5, 6}})},
      {"3", proto_of({{1, 1, 2}, {2, 3, 4}})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.which);
    start_with(proto_of({{1, 1, 2}, {2, 3, 4}, {3, 5, 6}}));
    type("ActivePointBox", c.which);
    run("DeleteLine");
    EXPECT_EQ(*app.state.proto, c.after);
    EXPECT_EQ(box("ProtoPointBox"), "2");
  }
}

TEST_F(ProtocolEdit, DeleteRedrawsExactlyAsShowProto) {
  start_with(proto_of({{1, 1, 2}, {2, 3, 4}, {3, 5, 6}}));
  type("ActivePointBox", "1");
  run("DeleteLine");
  auto picture = [this] {
    std::vector<std::string> out;
    for (Handle h : app.gfx.children(ax)) {
      std::string s = type_name(app.gfx.type(h));
      for (const char* p : app.gfx.type(h) == ObjType::kLine
                               ? std::vector<const char*>{"XData", "YData", "Color", "Marker"}
                               : std::vector<const char*>{"String", "Position", "Color"}) {
        Value v = app.gfx.get(h, p);
        s += " " + (v.is_string() ? v.str() : num2str(v.matrix()));
      }
      out.push_back(s);
    }
    return out;
  };
  const auto after_delete = picture();
  run("ShowProto");
  EXPECT_EQ(picture(), after_delete);
}

TEST_F(ProtocolEdit, OutOfRangeDeletesChangeNothing) {
  const char* texts[] = {"0", "4", "-1", "1.5", "abc", "", "1 2", "NaN", "Inf"};
  for (const char* t : texts) {
    SCOPED_TRACE(std::string("ActivePointBox '") + t + "'");
    start_with(proto_of({{1, 1, 2}, {2, 3, 4}, {3, 5, 6}}));
    type("EndBox1", "1");
    type("EndBox2", "9");
    run("ShowLine");
    type("ActivePointBox", t);
    const Snapshot before = snapshot();
    run("DeleteLine");
    EXPECT_EQ(ui.messages(),
              std::vector<std::string>{
                  "Deleted Value is outside of the number of points in the protocol"});
    EXPECT_EQ(snapshot(), before);
  }
}

// The marker row is no line: deleting "line 1" of an empty protocol would leave the count -1
// and put the next line in row 0.
TEST_F(ProtocolEdit, DeletingFromAnEmptyProtocolIsOutOfRange) {
  run("NewProto");
  type("ActivePointBox", "1");
  const Snapshot before = snapshot();
  run("DeleteLine");
  EXPECT_EQ(ui.messages(), std::vector<std::string>{
                               "Deleted Value is outside of the number of points in the protocol"});
  EXPECT_EQ(snapshot(), before);
}

TEST_F(ProtocolEdit, DeletingTheOnlyLineLeavesAProtocolOfNoRows) {
  start_with(proto_of({{4, 2, 3}}));
  type("ActivePointBox", "1");
  run("DeleteLine");
  ASSERT_EQ(*app.state.proto, Protocol());
  EXPECT_EQ(box("ProtoPointBox"), "0");
  EXPECT_TRUE(segments().empty()) << "the redraw takes the deleted line off the picture";
  EXPECT_TRUE(texts().empty());
  EXPECT_EQ(points("o").size(), static_cast<std::size_t>(kLandmarks));
  EXPECT_TRUE(ui.messages().empty());

  // Every action takes it as a protocol without lines.
  type("ActivePointBox", "1");
  run("ShowLine2");
  run("DeleteLine");
  EXPECT_EQ(ui.messages(),
            (std::vector<std::string>{
                "Line number is outside of the protocol",
                "Deleted Value is outside of the number of points in the protocol"}));
  add(6, 2);
  EXPECT_EQ(*app.state.proto, proto_of({{1, 6, 2}}));
  EXPECT_EQ(box("ProtoPointBox"), "1");
}

// ShowLine highlights boxes 3-11 (not a protocol line), ShowLine2 highlights line 1 (1-2).
TEST_F(ProtocolEdit, TwoHighlightsLeaveOneVisibleAndTheFirstHidden) {
  const std::pair<const char*, const char*> pairs[] = {{"ShowLine", "ShowLine"},
                                                       {"ShowLine", "ShowLine2"},
                                                       {"ShowLine2", "ShowLine"},
                                                       {"ShowLine2", "ShowLine2"}};
  auto ends = [](const char* action) {
    return std::string(action) == "ShowLine" ? std::pair<double, double>{3, 11}
                                             : std::pair<double, double>{1, 2};
  };
  for (const auto& [one, two] : pairs) {
    SCOPED_TRACE(std::string(one) + " then " + two);
    start_with(proto_of({{1, 1, 2}}));
    type("EndBox1", "3");
    type("EndBox2", "11");
    type("ActivePointBox", "1");
    run(one);
    const Handle first = *app.state.lineh;
    run(two);
    const Handle second = *app.state.lineh;
    ASSERT_NE(first, second);
    ASSERT_TRUE(app.gfx.ishandle(first)) << "hidden, not deleted";
    EXPECT_EQ(app.gfx.get(first, "Visible").str(), "off");
    EXPECT_EQ(app.gfx.get(second, "Visible").str(), "on");
    expect_segment(first, ends(one).first, ends(one).second);
    expect_segment(second, ends(two).first, ends(two).second);
    for (Handle h : {first, second}) {
      EXPECT_EQ(app.gfx.get(h, "Color").matrix(), row({1, 0, 1})) << "magenta";
      EXPECT_EQ(app.gfx.get(h, "LineStyle").str(), "-");
      EXPECT_EQ(app.gfx.get(h, "LineWidth").matrix()(0, 0), 1.5);
    }
    EXPECT_TRUE(ui.messages().empty());
  }
}

TEST_F(ProtocolEdit, AHighlightClearedAwayIsNotTouched) {
  start_with(proto_of({{1, 1, 2}}));
  type("EndBox1", "1");
  type("EndBox2", "2");
  run("ShowLine");
  const Handle gone = *app.state.lineh;
  app.gfx.cla();
  ASSERT_FALSE(app.gfx.ishandle(gone));
  run("ShowLine");
  EXPECT_NE(*app.state.lineh, gone);
  EXPECT_EQ(app.gfx.get(*app.state.lineh, "Visible").str(), "on");
}

TEST_F(ProtocolEdit, ShowProtoDrawsMeanShapeLinesAndRedLabels) {
  app.state.proto = proto_of({{9, 1, 12}, {4, 6, 3}});
  type("EndBox1", "2");
  type("EndBox2", "5");
  run("ShowLine");
  const Handle old_highlight = *app.state.lineh;
  run("ShowProto");
  EXPECT_FALSE(app.gfx.ishandle(old_highlight)) << "the axes were cleared";
  EXPECT_EQ(*app.state.lineh, kNoHandle);
  auto circles = points("o");
  ASSERT_EQ(circles.size(), static_cast<std::size_t>(kLandmarks));
  EXPECT_EQ(app.gfx.get(circles[0], "Color").matrix(), row({1, 0, 0}));
  auto segs = segments();
  auto labels = texts();
  ASSERT_EQ(segs.size(), 2u);
  ASSERT_EQ(labels.size(), 2u);
  expect_segment(segs[0], 1, 12);
  expect_segment(segs[1], 6, 3);
  expect_label(labels[0], "1", 1, 12);
  expect_label(labels[1], "2", 6, 3);
  EXPECT_TRUE(points("+").empty()) << "no numbering without NumberRequest";
}

TEST_F(ProtocolEdit, ShowProtoWithNumberRequestNumbersAndWidens) {
  app.state.proto = proto_of({{1, 1, 12}});
  run("ShowProto");
  const Limits plain = app.gfx.axis();  // the limits the numbering reads

  number_request(1);
  run("ShowProto");
  EXPECT_EQ(points("+").size(), static_cast<std::size_t>(kLandmarks));
  auto labels = texts();
  ASSERT_EQ(labels.size(), 1u + kLandmarks);
  const double ox = (plain[1] - plain[0]) / 100, oy = (plain[3] - plain[2]) / 100;
  for (int j = 1; j <= kLandmarks; ++j) {
    Handle t = labels[static_cast<std::size_t>(j)];
    EXPECT_EQ(app.gfx.get(t, "String").str(), std::to_string(j));
    EXPECT_EQ(app.gfx.get(t, "Position").matrix(), row({lm_x(j) + ox, lm_y(j) + oy, 0}));
  }
  const Limits widened = app.gfx.axis_of(ax);
  for (int i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(widened[i], plain[i] * 1.03) << i;
  EXPECT_TRUE(app.gfx.axis_is_equal(ax));
}

TEST_F(ProtocolEdit, ShowProtoOnAnEmptyProtocolKeepsTheDrawing) {
  start_with(proto_of({{1, 1, 2}}));
  run("NewProto");
  const Snapshot before = snapshot();
  const std::vector<Handle> drawn_before = app.gfx.children(ax);
  run("ShowProto");
  EXPECT_EQ(snapshot(), before) << "without NumberRequest nothing happens";

  number_request(1);
  run("ShowProto");
  auto drawn = app.gfx.children(ax);
  ASSERT_GE(drawn.size(), drawn_before.size());
  EXPECT_TRUE(std::equal(drawn_before.begin(), drawn_before.end(), drawn.begin()))
      << "nothing was cleared";
  EXPECT_EQ(points("+").size(), static_cast<std::size_t>(kLandmarks));
  EXPECT_EQ(texts().size(), 1u + kLandmarks);
}

// Boxes that hold no landmark number are refused before anything is hidden, stored or drawn.
TEST_F(ProtocolEdit, EndBoxesMustHoldOneLandmarkNumber) {
  struct Case {
    const char* end1;
    const char* end2;
    const char* message;
  };
  const char* m1 =
      "The first landmark of \"Line between\" must be one landmark number from 1 to 12.";
  const char* m2 =
      "The second landmark of \"Line between\" must be one landmark number from 1 to 12.";
  const Case cases[] = {
      {"", "3", m1},    {"abc", "3", m1},   {"0", "3", m1},   {"13", "3", m1}, {"2.5", "3", m1},
      {"1 2", "3", m1}, {"NaN", "3", m1},   {"-1", "3", m1},  {"3", "", m2},   {"3", "13", m2},
      {"3", "0.5", m2}, {"3", "[4;5]", m2}, {"3", "Inf", m2},
  };
  for (const char* action : {"AddLine", "ShowLine"}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(action) + " '" + c.end1 + "' '" + c.end2 + "'");
      start_with(proto_of({{1, 1, 2}, {2, 3, 4}}));
      type("EndBox1", "7");
      type("EndBox2", "8");
      run("ShowLine");
      type("EndBox1", c.end1);
      type("EndBox2", c.end2);
      const Snapshot before = snapshot();
      run(action);
      EXPECT_EQ(ui.messages(), std::vector<std::string>{c.message});
      EXPECT_EQ(snapshot(), before);
    }
  }
}

TEST_F(ProtocolEdit, AddLineRefusesACountThatDoesNotFitTheProtocol) {
  struct Case {
    Protocol proto;
    const char* count;
    const char* message;
  };
  const char* two =
      "\"Lines in protocol:\" must show the protocol's line count, a whole number from 0 to 2.";
  const char* zero = "\"Lines in protocol:\" must show the protocol's line count, 0.";
  const Case cases[] = {
      {proto_of({{1, 1, 2}, {2, 3, 4}}), "", two},
      {proto_of({{1, 1, 2}, {2, 3, 4}}), "    ", two},
      {proto_of({{1, 1, 2}, {2, 3, 4}}), "abc", two},
      {proto_of({{1, 1, 2}, {2, 3, 4}}), "3", two},
      {proto_of({{1, 1, 2}, {2, 3, 4}}), "-1", two},
      {proto_of({{1, 1, 2}, {2, 3, 4}}), "1.5", two},
      {Protocol::started(), "1", zero},
      {Protocol(), "2", zero},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("count '") + c.count + "'");
    start_with(c.proto);
    type("ProtoPointBox", c.count);
    type_ends(9, 10);
    const Snapshot before = snapshot();
    run("AddLine");
    EXPECT_EQ(ui.messages(), std::vector<std::string>{c.message});
    EXPECT_EQ(snapshot(), before);
  }
}

TEST_F(ProtocolEdit, AddLineWithACountBelowTheRowsReplacesThatRow) {
  start_with(proto_of({{1, 1, 2}, {2, 3, 4}, {3, 5, 6}}));
  type("ProtoPointBox", "1");
  add(9, 10);
  EXPECT_EQ(*app.state.proto, proto_of({{1, 1, 2}, {2, 9, 10}, {3, 5, 6}}));
  EXPECT_EQ(box("ProtoPointBox"), "2");
}

TEST_F(ProtocolEdit, DeleteLineRefusesACountThatDoesNotFit) {
  start_with(proto_of({{1, 1, 2}, {2, 3, 4}}));
  type("ActivePointBox", "1");
  for (const char* count : {"", "x", "0", "3"}) {
    SCOPED_TRACE(count);
    ui.clear_records();
    type("ProtoPointBox", count);
    const Snapshot before = snapshot();
    run("DeleteLine");
    EXPECT_EQ(ui.messages(),
              std::vector<std::string>{
                  "\"Lines in protocol:\" must show the protocol's line count, a whole "
                  "number from 1 to 2."});
    EXPECT_EQ(snapshot(), before);
  }
}

TEST_F(ProtocolEdit, ShowLine2OutsideTheProtocolKeepsTheHighlight) {
  const char* texts[] = {"0", "3", "1.5", "x", "", "-1", "1 2"};
  for (const char* t : texts) {
    SCOPED_TRACE(t);
    start_with(proto_of({{1, 1, 2}, {2, 3, 4}}));
    type("ActivePointBox", "2");
    run("ShowLine2");
    const Handle shown = *app.state.lineh;
    type("ActivePointBox", t);
    const Snapshot before = snapshot();
    run("ShowLine2");
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"Line number is outside of the protocol"});
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(app.gfx.get(shown, "Visible").str(), "on");
  }
  run("NewProto");
  type("ActivePointBox", "1");
  ui.clear_records();
  run("ShowLine2");
  EXPECT_EQ(ui.messages(), std::vector<std::string>{"Line number is outside of the protocol"})
      << "the marker row is no line";
}

// Before "Load" nothing can be drawn; before "LoadProto" or "NewProto" there is no protocol.
TEST_F(ProtocolEdit, ActionsRefuseWhatTheyNeedButDoNotHave) {
  struct Case {
    const char* action;
    bool loaded;
    bool with_proto;
    const char* message;
  };
  const char* no_data = "Load a landmark data file first.";
  const char* no_proto = "Load a protocol file or start a new protocol first.";
  const Case cases[] = {
      {"LoadProto", false, true, no_data},     {"AddLine", false, true, no_data},
      {"DeleteLine", false, true, no_data},    {"ShowLine", false, true, no_data},
      {"ShowLine2", false, true, no_data},     {"ShowProto", false, true, no_data},
      {"AddLine", true, false, no_proto},      {"DeleteLine", true, false, no_proto},
      {"ShowLine2", true, false, no_proto},    {"ShowProto", true, false, no_proto},
      {"SaveProtocol", true, false, no_proto}, {"SaveProtocol", false, false, no_proto},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.action + std::string(c.loaded ? " loaded" : " not loaded"));
    app.state.reference.reset();
    app.state.data.reset();
    app.state.proto.reset();
    if (c.loaded) load_mean_shape();
    if (c.with_proto) app.state.proto = proto_of({{1, 1, 2}});
    type("EndBox1", "1");
    type("EndBox2", "3");
    type("ActivePointBox", "1");
    type("ProtoPointBox", c.with_proto ? "1" : "");
    number_request(1);
    ui.clear_records();
    const Snapshot before = snapshot();
    run(c.action);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{c.message});
    EXPECT_TRUE(ui.dialogs().empty()) << "refused before any dialog";
    EXPECT_EQ(snapshot(), before);
  }
}

// Loading other data keeps the protocol, which may then name landmarks the new mean shape
// lacks: drawing it is refused before the axes are cleared.
TEST_F(ProtocolEdit, AProtocolBeyondTheMeanShapeIsNotDrawn) {
  start_with(proto_of({{1, 1, 2}, {2, 3, 12}}));
  Matrix smaller = twelve_landmarks().leftCols(2 * 10);
  smaller.conservativeResize(1, 21);
  smaller(0, 20) = 1;
  app.state.reference = smaller;
  const char* message = "Protocol line 2 joins 3 and 12; the mean shape has landmarks 1 to 10.";
  for (const char* action : {"ShowProto", "ShowLine2"}) {
    SCOPED_TRACE(action);
    ui.clear_records();
    type("ActivePointBox", "1");
    const Snapshot before = snapshot();
    run(action);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{message});
    EXPECT_EQ(snapshot(), before);
  }
  // The line that does not fit can still be deleted; the redraw then works again.
  ui.clear_records();
  type("ActivePointBox", "2");
  run("DeleteLine");
  EXPECT_TRUE(ui.messages().empty());
  EXPECT_EQ(*app.state.proto, proto_of({{1, 1, 2}}));
  EXPECT_EQ(segments().size(), 1u);
}

}  // namespace
}  // namespace qiv
