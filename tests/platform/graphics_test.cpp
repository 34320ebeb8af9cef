#include "platform/graphics/graphics.h"

#include <gtest/gtest.h>

#include <set>

#include "base/failure.h"
#include "support/files.h"

namespace qiv {
namespace {

Handle tagged_control(Graphics& g, Handle fig, const char* tag) {
  Handle h = g.new_uicontrol(fig);
  g.set(h, "Tag", Value(tag));
  return h;
}

TEST(Graphics, FindobjAndFindallFollowWalkOrder) {
  Graphics g;
  Handle f1 = g.new_figure();
  Handle a = tagged_control(g, f1, "Box");
  Handle ax = g.new_axes(f1);
  Handle b = tagged_control(g, f1, "Box");
  Handle f2 = g.new_figure();
  Handle c = tagged_control(g, f2, "Box");
  EXPECT_EQ(g.findobj_tag("Box"), (std::vector<Handle>{a, b, c}));
  EXPECT_TRUE(g.findobj_tag("box").empty()) << "tags compare case-sensitively";

  auto labels = g.axes_labels(ax);
  std::vector<Handle> want{f1, a, ax, labels[0], labels[1], labels[2], b};
  EXPECT_EQ(g.findall(f1), want);
}

TEST(Graphics, TaggedLinesAreFoundToo) {
  Graphics g;
  g.new_figure();
  Handle l = g.plot({0, 1}, {0, 1}, "k");
  g.set(l, "Tag", Value("Seg"));
  EXPECT_EQ(g.findobj_tag("Seg"), std::vector<Handle>{l});
  g.cla();
  EXPECT_TRUE(g.findobj_tag("Seg").empty());
}

TEST(Graphics, PropertyNamesAreCaseInsensitive) {
  Graphics g;
  Handle f = g.new_figure();
  Handle u = g.new_uicontrol(f);
  g.set(u, "STRING", Value("abc"));
  EXPECT_EQ(g.get(u, "string").str(), "abc");
  EXPECT_EQ(g.get(u, "String").str(), "abc");
  g.set(u, "enable", Value("Off"));
  EXPECT_EQ(g.get(u, "Enable").str(), "off");
  Handle l = g.plot({1}, {2}, "g*");
  g.set(l, "markersize", Value(3.0));
  EXPECT_EQ(g.get(l, "MarkerSize").scalar_value(), 3.0);
  EXPECT_EQ(g.get(l, "MARKER").str(), "*");
  EXPECT_THROW(g.get(l, "NoSuchThing"), Failure);
}

// Every type's table: each row's initial value is one its own checks accept, names are
// unique in any letter case, and every row a layout may give is settable.
TEST(PropertyTables, RowsAgreeWithTheirOwnChecks) {
  for (ObjType t : {ObjType::kRoot, ObjType::kFigure, ObjType::kAxes, ObjType::kLine,
                    ObjType::kText, ObjType::kUicontrol}) {
    std::set<std::string> names;
    for (const PropertyRule& r : property_rules(t)) {
      std::string lower_name;
      for (char c : std::string(r.name)) lower_name += static_cast<char>(std::tolower(c));
      EXPECT_TRUE(names.insert(lower_name).second) << type_name(t) << " " << r.name;
      EXPECT_EQ(find_property(t, lower_name), &r);
      if (r.in_layout) {
        EXPECT_FALSE(r.read_only) << r.name;
      }
      if (r.read_only || r.initial.is_none()) continue;
      EXPECT_EQ(checked_value(r, r.initial, r.name), r.initial) << type_name(t) << " " << r.name;
    }
  }
}

// A new object answers every property of its table, with the table's initial value where
// the object keeps it in its property map.
TEST(PropertyTables, NewObjectsStartAtTheInitialValues) {
  Graphics g;
  Handle f = g.new_figure();
  Handle ax = g.new_axes(f);
  Handle u = g.new_uicontrol(f);
  Handle l = g.plot({1, 2, 3}, {4, 5, 6}, "r-");
  Handle t = g.text(1, 2, "x");
  for (Handle h : {kScreen, f, ax, u, l, t}) {
    for (const PropertyRule& r : property_rules(g.type(h))) {
      EXPECT_TRUE(g.has_property(h, r.name)) << r.name;
      const Value v = g.get(h, r.name);
      if (!r.initial.is_none()) {
        EXPECT_EQ(v, r.initial) << type_name(g.type(h)) << " " << r.name;
      }
    }
  }
  EXPECT_EQ(g.get(l, "XData"), Value(row({1, 2, 3})));
  EXPECT_EQ(g.get(l, "Color"), Value(row({1, 0, 0})));
  Matrix newest_first(2, 1);
  newest_first << static_cast<double>(t), static_cast<double>(l);
  EXPECT_EQ(g.get(ax, "Children"), Value(newest_first));
}

struct BadSet {
  const char* name;
  ObjType type;
  const char* property;
  Value value;
  const char* message;
};

class PropertyErrors : public testing::TestWithParam<BadSet> {};

// A refused value names the property as the caller wrote it and changes nothing.
TEST_P(PropertyErrors, NameThePropertyAndChangeNothing) {
  Graphics g;
  Handle f = g.new_figure();
  Handle h = f;
  switch (GetParam().type) {
    case ObjType::kRoot:
      h = kScreen;
      break;
    case ObjType::kAxes:
      h = g.new_axes(f);
      break;
    case ObjType::kUicontrol:
      h = g.new_uicontrol(f);
      break;
    case ObjType::kLine:
      h = g.plot({1}, {2}, "g*");
      break;
    case ObjType::kText:
      h = g.text(1, 2, "x");
      break;
    case ObjType::kFigure:
      break;
  }
  const bool known = g.has_property(h, GetParam().property);
  const Value before = known ? g.get(h, GetParam().property) : Value();
  EXPECT_EQ(test_support::failure_text([&] { g.set(h, GetParam().property, GetParam().value); }),
            GetParam().message);
  if (known) {
    EXPECT_EQ(g.get(h, GetParam().property), before);
  }
}

INSTANTIATE_TEST_SUITE_P(
    All, PropertyErrors,
    testing::Values(BadSet{"OnOff", ObjType::kUicontrol, "enable", Value("yes"),
                           "Bad value for the property enable: use \"on\" or \"off\"."},
                    BadSet{"Units", ObjType::kFigure, "Units", Value("furlongs"),
                           "Bad value for the property Units: \"furlongs\"."},
                    BadSet{"UnitsNotText", ObjType::kAxes, "Units", Value(3.0),
                           "Bad value for the property Units."},
                    BadSet{"Rect", ObjType::kFigure, "Position", Value(row({1, 2, 3})),
                           "Bad value for the property Position: give four numbers."},
                    BadSet{"Number", ObjType::kUicontrol, "Min", Value("low"),
                           "Bad value for the property Min: give a number."},
                    BadSet{"Colour", ObjType::kAxes, "Color", Value("purplish"),
                           "Bad value for the property Color."},
                    BadSet{"Marker", ObjType::kLine, "Marker", Value("@"),
                           "Bad value for the property Marker."},
                    BadSet{"Limits", ObjType::kAxes, "XLim", Value(row({2, 1})),
                           "Bad value for the property XLim."},
                    BadSet{"Style", ObjType::kUicontrol, "Style", Value("button"),
                           "Bad value for the property Style: \"button\"."},
                    BadSet{"TextPosition", ObjType::kText, "Position", Value(3.0),
                           "Bad value for the property Position."},
                    BadSet{"ReadOnly", ObjType::kLine, "XData", Value(row({1, 2})),
                           "The property XData cannot be set."},
                    BadSet{"ReadOnlyEverywhere", ObjType::kFigure, "Children", Value(Matrix()),
                           "The property Children cannot be set."},
                    BadSet{"Unknown", ObjType::kUicontrol, "Colour", Value("r"),
                           "There is no Colour property on the uicontrol class."},
                    BadSet{"UnknownOnLines", ObjType::kLine, "FontName", Value("Courier"),
                           "There is no FontName property on the line class."},
                    BadSet{"NotThisFiguresAxes", ObjType::kFigure, "CurrentAxes", Value(1.0),
                           "CurrentAxes must be axes of this figure."}),
    [](const testing::TestParamInfo<BadSet>& i) { return i.param.name; });

TEST(Graphics, HandlesAreNeverReused) {
  Graphics g;
  std::set<Handle> seen;
  for (int round = 0; round < 3; ++round) {
    Handle f = g.new_figure();
    Handle ax = g.gca();
    Handle l = g.plot({0}, {0}, "k.");
    Handle t = g.text(0, 0, "x");
    for (Handle h : {f, ax, l, t}) {
      EXPECT_GT(h, 0);
      EXPECT_TRUE(seen.insert(h).second) << "handle " << h << " reused";
    }
    g.cla();
    EXPECT_FALSE(g.ishandle(l));
    EXPECT_FALSE(g.ishandle(t));
    g.close(f);
    EXPECT_FALSE(g.ishandle(f));
    EXPECT_FALSE(g.ishandle(ax));
  }
}

// A cleared or deleted object's slot serves the next object, under a handle never seen before;
// stale handles stay invalid although their slot now holds someone else.
TEST(Graphics, FreedSlotsAreReusedUnderNewHandles) {
  Graphics g;
  Handle f = g.new_figure();
  Handle ax = g.gca();
  const PlotStyle dot{};
  std::set<Handle> seen;
  std::vector<Handle> stale;
  std::size_t store = 0;
  for (int round = 0; round < 5; ++round) {
    g.reserve_lines(ax, 10000);
    for (int i = 0; i < 10000; ++i) {
      Handle h = g.plot_point(ax, i, -i, dot, 3.0f);
      ASSERT_TRUE(seen.insert(h).second) << "handle " << h << " reused";
      if (i % 3000 == 0) stale.push_back(h);
    }
    Handle t = g.text_in(ax, 1, 2, "x");
    ASSERT_TRUE(seen.insert(t).second);
    if (round == 0) store = g.slots_in_store();
    EXPECT_EQ(g.slots_in_store(), store) << "round " << round;
    EXPECT_EQ(g.line_count(ax), 10000u);
    EXPECT_EQ(g.get(g.children(ax).back(), "String").str(), "x");
    g.cla();
    for (Handle h : stale) EXPECT_FALSE(g.ishandle(h));
  }
  Handle u = g.new_uicontrol(f);
  EXPECT_TRUE(seen.insert(u).second);
  g.delete_object(u);
  Handle v = g.new_uicontrol(f);
  EXPECT_FALSE(g.ishandle(u));
  EXPECT_GT(v, u);
  EXPECT_EQ(g.findall(f).back(), v);
}

TEST(Graphics, ClaKeepsTheLabelTexts) {
  Graphics g;
  g.new_figure();
  Handle ax = g.gca();
  Handle ylabel = g.axes_labels(ax)[1];
  g.set(ylabel, "String", Value("No Protocol Available"));
  g.plot({0, 1}, {0, 1}, "k");
  g.text(0, 0, "1");
  g.cla();
  EXPECT_EQ(g.line_count(ax), 0u);
  EXPECT_TRUE(g.children(ax).empty());
  EXPECT_EQ(g.get(ylabel, "String").str(), "No Protocol Available");
  g.delete_object(ylabel);
  EXPECT_TRUE(g.ishandle(ylabel)) << "labels live as long as their axes";
}

TEST(Graphics, AxisAutoManualEqual) {
  Graphics g;
  g.new_figure();
  g.hold_on();
  g.plot({-0.31, 0.33}, {-0.2, 0.18}, "k");
  Limits auto_lim = g.axis();
  EXPECT_EQ(auto_lim, (Limits{-0.4, 0.4, -0.2, 0.2}));
  g.axis(Limits{-1, 2, -3, 4});
  g.plot({10}, {10}, "k.");
  EXPECT_EQ(g.axis(), (Limits{-1, 2, -3, 4})) << "manual limits ignore new data";
  Handle ax = g.gca();
  EXPECT_EQ(g.get(ax, "XLimMode").str(), "manual");
  g.axis_equal();
  EXPECT_TRUE(g.axis_is_equal(ax));
  EXPECT_EQ(g.axis(), (Limits{-1, 2, -3, 4})) << "equal scaling keeps the limits";
  g.axis_auto();
  EXPECT_EQ(g.get(ax, "XLimMode").str(), "auto");
  EXPECT_EQ(g.axis(), (Limits{-5, 10, -5, 10}));
}

TEST(Graphics, AutoLimitsSkipHiddenAndNonFiniteData) {
  Graphics g;
  g.new_figure();
  g.hold_on();
  g.plot({0, 1}, {0, 1}, "k");
  Handle far = g.plot({100}, {100}, "k.");
  g.plot({std::nan("")}, {5}, "k.");
  g.set(far, "Visible", Value("off"));
  EXPECT_EQ(g.axis(), (Limits{0, 1, 0, 1}));
  Graphics empty;
  empty.new_figure();
  EXPECT_EQ(empty.axis(), (Limits{0, 1, 0, 1}));
  Graphics single;
  single.new_figure();
  single.plot({2}, {3}, "k.");
  EXPECT_EQ(single.axis(), (Limits{1, 3, 2, 4}));
}

TEST(Graphics, PlotStyles) {
  struct Case {
    const char* style;
    Marker marker;
    LineStyle line;
    Rgb color;
  };
  const Case cases[] = {
      {"g*", Marker::kStar, LineStyle::kNone, {0, 1, 0}},
      {"r+", Marker::kPlus, LineStyle::kNone, {1, 0, 0}},
      {"k", Marker::kNone, LineStyle::kSolid, {0, 0, 0}},
      {"M", Marker::kNone, LineStyle::kSolid, {1, 0, 1}},
      {"r:", Marker::kNone, LineStyle::kDotted, {1, 0, 0}},
      {"b--o", Marker::kCircle, LineStyle::kDashed, {0, 0, 1}},
      {"c-.", Marker::kNone, LineStyle::kDashDot, {0, 1, 1}},
      {"", Marker::kNone, LineStyle::kSolid, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    auto plot_style = parse_plot_style(c.style);
    ASSERT_TRUE(plot_style) << c.style;
    EXPECT_EQ(plot_style->marker, c.marker) << c.style;
    EXPECT_EQ(plot_style->line, c.line) << c.style;
    EXPECT_EQ(plot_style->color, c.color) << c.style;
  }
  for (const char* bad : {"q", "rr", "**", "--:", "g*x"})
    EXPECT_FALSE(parse_plot_style(bad)) << bad;
}

TEST(Graphics, CurrentFigureAndAxes) {
  Graphics g;
  EXPECT_EQ(g.current_figure(), kNoHandle);
  Handle ax = g.gca();
  Handle f = g.current_figure();
  EXPECT_EQ(g.type(f), ObjType::kFigure);
  EXPECT_EQ(g.parent(ax), f);
  Handle f2 = g.new_figure();
  EXPECT_EQ(g.gcf(), f2);
  g.figure(f);
  EXPECT_EQ(g.gcf(), f);
  EXPECT_EQ(g.gca(), ax);
  g.close(f);
  EXPECT_EQ(g.gcf(), f2) << "closing the current figure makes the newest other one current";
  EXPECT_THROW(g.figure(ax), Failure);
}

TEST(Graphics, UnitsConvertTheSameRectangle) {
  Graphics g;
  Handle f = g.new_figure();
  g.set(f, "Position", Value(row({100, 50, 700, 480})));
  g.set(f, "Units", Value("characters"));
  EXPECT_EQ(g.get(f, "Position"), Value(row({100 / 7.0, 50 / 16.0, 100, 30})));
  Handle ax = g.new_axes(f);
  g.set(ax, "Units", Value("characters"));
  Matrix p = g.get(ax, "Position").matrix();
  EXPECT_NEAR(p(0, 0), 0.13 * 100, 1e-9);
  EXPECT_NEAR(p(0, 3), 0.815 * 30, 1e-9);
  g.set(ax, "Units", Value("normalized"));
  EXPECT_TRUE(g.get(ax, "Position").matrix().isApprox(row({0.13, 0.11, 0.775, 0.815})));
  EXPECT_THROW(g.set(ax, "Units", Value("furlongs")), Failure);
}

TEST(Graphics, ApplicationData) {
  Graphics g;
  g.setappdata(kScreen, "x_SINGLETON_handle", Value(row({3, 4})));
  EXPECT_EQ(g.getappdata(kScreen, "x_SINGLETON_handle"), Value(row({3, 4})));
  EXPECT_TRUE(g.getappdata(kScreen, "other").is_none());
  EXPECT_TRUE(g.isappdata(kScreen, "x_SINGLETON_handle"));
}

class CountingObserver : public GraphicsObserver {
 public:
  void object_created(Handle) override { ++created; }
  void object_deleted(Handle) override { ++deleted; }
  void property_changed(Handle, std::string_view) override { ++changed; }
  void content_changed(Handle) override { ++content; }
  void figure_raised(Handle) override { ++raised; }
  int created = 0, deleted = 0, changed = 0, content = 0, raised = 0;
};

TEST(Graphics, ObserversHearChanges) {
  Graphics g;
  CountingObserver o;
  g.add_observer(&o);
  Handle f = g.new_figure();
  Handle u = g.new_uicontrol(f);
  g.set(u, "String", Value("x"));
  g.plot({0}, {0}, "k.");
  g.figure(f);
  g.close(f);
  EXPECT_EQ(o.created, 3);  // figure, uicontrol, axes made by plot
  EXPECT_EQ(o.deleted, 3);
  EXPECT_GE(o.changed, 1);
  EXPECT_GE(o.content, 1);
  EXPECT_EQ(o.raised, 1);
  g.remove_observer(&o);
}

}  // namespace
}  // namespace qiv
