#include "guikit/gui_registry.h"

#include <gtest/gtest.h>

#include "base/failure.h"
#include "guikit/axes_helpers.h"
#include "guikit/identifiers.h"
#include "support/files.h"

namespace qiv {
namespace {

using test_support::failure_text;

TEST(Identifiers, Rules) {
  struct Case {
    std::string text;
    bool valid;
  };
  const Case cases[] = {
      {"pushbutton1", true},
      {"End", true},
      {"end", false},
      {"1abc", false},
      {"has blank", false},
      {"", false},
      {"a_b9", true},
      {"_a", false},
      {std::string(31, 'a'), true},
      {std::string(32, 'a'), false},
      {"two\nrows", false},
      {"caf\xc3\xa9", false},
  };
  for (const Case& c : cases) EXPECT_EQ(isvarname(c.text), c.valid) << c.text;
  EXPECT_FALSE(isvarname(Value(5.0)));
  EXPECT_TRUE(iskeyword("end"));
  EXPECT_FALSE(iskeyword("End"));
  ASSERT_EQ(keywords().size(), 17u);
  EXPECT_EQ(keywords().front(), "break");
  EXPECT_EQ(keywords().back(), "while");
}

TEST(Guihandles, FieldRules) {
  Graphics g;
  Handle fig = g.new_figure();
  g.set(fig, "Tag", Value("figure1"));
  auto control = [&](const std::string& tag) {
    Handle h = g.new_uicontrol(fig);
    g.set(h, "Tag", Value(tag));
    return h;
  };
  Handle b1 = control("pushbutton1");
  control("end");
  control("9lives");
  control("has blank");
  control("");
  Handle long31 = control(std::string(31, 'x'));
  control(std::string(32, 'y'));
  Handle b2 = control("pushbutton1");
  Value reg = guihandles(g, Value(static_cast<double>(b1)));
  ASSERT_TRUE(reg.is_record());
  const Record& r = reg.record();
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0].name, "figure1");
  EXPECT_EQ(r[1].name, "pushbutton1");
  Matrix both(2, 1);
  both << static_cast<double>(b1), static_cast<double>(b2);
  EXPECT_EQ(r[1].value, Value(both)) << "duplicates in walk order";
  EXPECT_EQ(r[2].name, std::string(31, 'x'));
  EXPECT_EQ(r[2].value, Value(static_cast<double>(long31)));
}

TEST(Guihandles, EmptyRegistryAndBadHandles) {
  Graphics g;
  Handle fig = g.new_figure();
  EXPECT_EQ(guihandles(g, std::nullopt), Value(Matrix()));
  const std::string bad = "H must be the handle to a figure or figure descendent.";
  EXPECT_EQ(failure_text([&] { guihandles(g, Value(0.0)); }), bad);
  EXPECT_EQ(failure_text([&] { guihandles(g, Value(999.0)); }), bad);
  EXPECT_EQ(failure_text([&] { guidata_get(g, Value(0.0)); }), bad);
  EXPECT_EQ(failure_text([&] { guidata_get(g, Value("x")); }), bad);
  Handle u = g.new_uicontrol(fig);
  guidata_set(g, Value(static_cast<double>(fig)), Value("registry"));
  EXPECT_EQ(guidata_get(g, Value(static_cast<double>(u))), Value("registry"));
  Handle other = g.new_figure();
  EXPECT_EQ(guidata_get(g, Value(static_cast<double>(other))), Value(Matrix()));
}

TEST(AxesHelpers, YlabelSurvivesClaAndChecksPairs) {
  Graphics g;
  g.new_figure();
  Handle label = ylabel(g, "No Protocol Available");
  g.plot({0, 1}, {0, 1}, "k");
  Handle ax = cla(g);
  EXPECT_EQ(g.line_count(ax), 0u);
  EXPECT_EQ(g.get(label, "String").str(), "No Protocol Available");
  EXPECT_EQ(failure_text([&] { ylabel(g, "x", {Value("Color")}); }),
            "Incorrect number of input arguments");
  EXPECT_EQ(g.get(label, "String").str(), "No Protocol Available")
      << "refused call changes nothing";
  ylabel(g, "Loaded", {Value("Color"), Value("r")});
  EXPECT_EQ(g.get(label, "Color"), Value(row({1, 0, 0})));
  EXPECT_EQ(g.get(label, "String").str(), "Loaded");
  Graphics fresh;
  Handle made = cla(fresh);
  EXPECT_EQ(fresh.type(made), ObjType::kAxes) << "cla on a figure without axes creates them";
}

}  // namespace
}  // namespace qiv
