// The four window layouts of layouts/ and the start-up that opens them.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "app/application.h"
#include "app/qivprotosw.h"
#include "core/tags.h"
#include "guikit/figure_files.h"
#include "guikit/return_button.h"
#include "platform/headless_ui.h"
#include "support/files.h"

namespace qiv {
namespace {
namespace fs = std::filesystem;

// Runs each test from an empty directory: the layouts come from the program's folder.
class Layouts : public testing::Test {
 protected:
  std::string str(Handle h, const char* prop) { return app_.gfx.get(h, prop).str(); }
  std::vector<Handle> controls(Handle fig) {
    std::vector<Handle> out;
    for (Handle c : app_.gfx.children(fig))
      if (app_.gfx.type(c) == ObjType::kUicontrol) out.push_back(c);
    return out;
  }

  test_support::ScratchDir scratch_{true};  // made current
  const fs::path dir_ = scratch_.path();
  HeadlessUi ui_;
  Application app_{ui_};
};

const char* const kLayouts[] = {"Qiv_proto",  "qiv_subset",       "qiv_back",
                                "qiv_target", "qiv_correlations", "qiv_comparison"};

// The kind of control each tag the actions look for must be.
const std::map<std::string, std::string> kStyle{
    {"FileBox", "text"},       {"ProtoPointBox", "text"},     {"EndBox1", "edit"},
    {"EndBox2", "edit"},       {"ActivePointBox", "edit"},    {"NumberRequest", "checkbox"},
    {"PointBox", "edit"},      {"SubsetBox", "edit"},         {"ActiveLMBox", "edit"},
    {"MidBox", "edit"},        {"LengthBox", "text"},         {"LoadProtoButton", "pushbutton"},
    {"TargetLineBox", "edit"}, {"SetBlocks", "pushbutton"},   {"MaxBlockBox", "edit"},
    {"BlockBox", "edit"},      {"CurrentBlockBox", "edit"},   {"PermBox", "edit"},
    {"SeedBox", "edit"},       {"ModularityText", "text"},    {"ModularityTable", "listbox"},
    {"CorrelationAxes", ""},   {"ComparisonTable", "listbox"}};

TEST_F(Layouts, EveryRequiredTagIsInItsWindowOnce) {
  std::map<std::string, Handle> windows;
  for (const char* name : kLayouts) windows[name] = openfig(app_.ctx, name, "new");
  std::set<std::string> required;
  for (const tags::WindowTags& w : tags::required_tags()) {
    for (const char* tag : w.tags) {
      required.insert(tag);
      auto found = app_.gfx.findobj_tag(tag);
      ASSERT_EQ(found.size(), 1u) << tag;
      EXPECT_EQ(app_.gfx.figure_of(found[0]), windows[w.layout]) << tag;
      if (app_.gfx.type(found[0]) == ObjType::kUicontrol) {
        EXPECT_EQ(str(found[0], "Style"), kStyle.at(tag)) << tag;
      }
    }
  }
  // The controls an action names are among them.
  for (const ActionEntry& e : actions())
    for (const char* tag : e.tags) EXPECT_TRUE(required.count(tag)) << e.name << " " << tag;
  // The README lists them window by window, in the same order.
  const std::string readme = test_support::read_bytes(test_support::source_dir() / "README.md");
  const auto from = readme.find("so these must exist: ");
  ASSERT_NE(from, std::string::npos);
  std::string listed = readme.substr(from, readme.find(" Each button", from) - from);
  std::replace(listed.begin(), listed.end(), '\n', ' ');
  std::string expected = "so these must exist: ";
  for (const tags::WindowTags& w : tags::required_tags()) {
    for (std::size_t i = 0; i < w.tags.size(); ++i)
      expected += std::string("`") + w.tags[i] + "`" + (i + 1 < w.tags.size() ? ", " : " ");
    expected += std::string("(") + w.window + "); ";
  }
  expected.replace(expected.size() - 2, 2, ".");
  std::string squeezed;
  for (char c : listed)
    if (c != ' ' || squeezed.empty() || squeezed.back() != ' ') squeezed += c;
  EXPECT_EQ(squeezed, expected);
  // The texts that hold lists of landmarks may run over several lines.
  for (const char* tag : {"SubsetBox", "MidBox"}) {
    Handle box = app_.gfx.findobj_tag(tag)[0];
    EXPECT_GT(app_.gfx.get(box, "Max").scalar_value() - app_.gfx.get(box, "Min").scalar_value(), 1)
        << tag;
  }
  // The target window starts where its work starts: set the number of blocks first.
  EXPECT_EQ(str(app_.gfx.findobj_tag("SetBlocks")[0], "Enable"), "on");
  EXPECT_EQ(str(app_.gfx.findobj_tag("LoadProtoButton")[0], "Enable"), "off");
  EXPECT_EQ(str(app_.gfx.findobj_tag("FileBox")[0], "String"), "No file loaded");
  EXPECT_EQ(str(app_.gfx.findobj_tag("ProtoPointBox")[0], "String"), "0");
  // The modularity test starts from 999 permutations and seed 1.
  EXPECT_EQ(str(app_.gfx.findobj_tag("PermBox")[0], "String"), "999");
  EXPECT_EQ(str(app_.gfx.findobj_tag("SeedBox")[0], "String"), "1");
}

TEST_F(Layouts, NoTagIsUsedTwiceAcrossTheWindows) {
  for (const char* name : kLayouts) openfig(app_.ctx, name, "new");
  std::map<std::string, int> count;
  for (Handle fig : app_.gfx.figures())
    for (Handle h : app_.gfx.findall(fig))
      if (app_.gfx.type(h) != ObjType::kText && app_.gfx.type(h) != ObjType::kLine &&
          !str(h, "Tag").empty())
        ++count[str(h, "Tag")];
  for (const auto& [tag, n] : count) EXPECT_EQ(n, 1) << tag;
}

TEST_F(Layouts, EveryActionButSetHomeIsSentBySomeControl) {
  std::map<std::string, std::string> sender;  // action -> layout
  std::set<std::string> functions;
  for (const char* name : kLayouts) {
    Handle fig = openfig(app_.ctx, name, "new");
    for (Handle c : controls(fig)) {
      Value cb = app_.gfx.get(c, "Callback");
      ASSERT_TRUE(cb.is_list());
      if (cb.list().empty()) continue;
      functions.insert(cb.list()[0].str());
      if (cb.list()[0].str() == "qivprotosw") sender[cb.list()[1].str()] = name;
    }
  }
  for (const ActionEntry& e : action_table()) {
    if (std::string(e.name) == "SetHome") {
      EXPECT_EQ(sender.count(e.name), 0u);  // start-up runs it
      continue;
    }
    EXPECT_EQ(sender.count(e.name), 1u) << e.name;
  }
  // Undo and Redo come from the Edit menu and its keys.
  EXPECT_EQ(sender.size(), action_table().size() - 1 + added_action_table().size() - 2);
  for (const ActionEntry& e : added_action_table())
    EXPECT_EQ(sender.count(e.name),
              e.name == std::string("Undo") || e.name == std::string("Redo") ? 0u : 1u)
        << e.name;
  EXPECT_TRUE(functions.count("CopyBigImage"));
  EXPECT_TRUE(functions.count("SaveBigImage"));

  // Each action is sent from the window where it belongs.
  const std::map<std::string, std::vector<std::string>> where{
      {"Qiv_proto",
       {"Load", "Replot", "Clear", "LoadProto", "SaveProtocol", "NewProto", "AddLine", "DeleteLine",
        "ShowLine", "ShowLine2", "ShowProto", "MakeSubset", "DoBackReflect", "CreateTarget"}},
      {"qiv_subset",
       {"ShowThisLandmark", "AddLMtoSubset", "InvertSubset", "ShowSubset", "ShowAll", "SaveSubset",
        "PlotMean"}},
      {"qiv_back",
       {"AddMidline", "ShowMidline", "ShowAllMidline", "MidlineReflect", "SaveReflected"}},
      {"qiv_target",
       {"LoadProtoT", "ShowMLine", "SetBlocks", "AddBlocks", "ReplotM", "ShowAllBlock",
        "ShowBlockStructure", "BlockUp", "BlockDown", "BlockEnter", "AddLinetoBlock", "SaveMatrix",
        "LoadBlock", "ClearTarget", "TestModularity", "SaveMatrixCSV"}}};
  for (const auto& [layout, actions] : where)
    for (const std::string& a : actions) EXPECT_EQ(sender[a], layout) << a;
  // The button that loads the target window's protocol is the one its actions enable.
  Handle b = app_.gfx.findobj_tag("LoadProtoButton")[0];
  EXPECT_EQ(app_.gfx.get(b, "Callback"), Value(List{Value("qivprotosw"), Value("LoadProtoT")}));
}

// Return in a one-line edit box presses the button its ReturnButton names.
const std::map<std::string, std::string> kReturnButtons{
    {"EndBox1", "AddLine"},          {"EndBox2", "AddLine"},
    {"ActivePointBox", "ShowLine2"}, {"PointBox", "AddLMtoSubset"},
    {"ActiveLMBox", "AddMidline"},   {"MaxBlockBox", "SetBlocks"},
    {"TargetLineBox", "ShowMLine"},  {"CurrentBlockBox", "ShowBlockStructure"},
    {"BlockBox", "BlockEnter"},      {"PermBox", "TestModularity"},
    {"SeedBox", "TestModularity"},
};

TEST_F(Layouts, EveryOneLineEditBoxNamesAPushbuttonOfItsWindowForReturn) {
  std::map<std::string, std::string> named;
  for (const char* name : kLayouts) {
    Handle fig = openfig(app_.ctx, name, "new");
    for (Handle c : controls(fig)) {
      const std::string target = str(c, "ReturnButton");
      const bool edit = str(c, "Style") == "edit";
      const bool one_line =
          app_.gfx.get(c, "Max").scalar_value() - app_.gfx.get(c, "Min").scalar_value() <= 1;
      if (!edit || !one_line) {
        EXPECT_EQ(target, "") << str(c, "Tag") << ": only one-line edit boxes press a button";
        continue;
      }
      named[str(c, "Tag")] = target;
      int found = 0;
      for (Handle b : controls(fig)) {
        if (str(b, "Tag") != target) continue;
        ++found;
        EXPECT_EQ(str(b, "Style"), "pushbutton") << target;
        EXPECT_EQ(return_button(app_.gfx, c), b) << str(c, "Tag");
      }
      EXPECT_EQ(found, 1) << str(c, "Tag") << " names " << target << " in " << name;
    }
  }
  EXPECT_EQ(named, kReturnButtons);
}

TEST_F(Layouts, AReturnButtonIsOnlyAPushbuttonOfTheSameWindow) {
  Handle main = openfig(app_.ctx, "Qiv_proto", "new");
  Handle subset = openfig(app_.ctx, "qiv_subset", "new");
  Handle box = app_.gfx.findobj_tag("EndBox1")[0];
  ASSERT_EQ(app_.gfx.figure_of(box), main);
  // A button of another window, a box that is no pushbutton, a tag nobody has, none.
  for (const char* tag : {"AddLMtoSubset", "FileBox", "NoSuchButton", ""}) {
    app_.gfx.set(box, "ReturnButton", Value(tag));
    EXPECT_EQ(return_button(app_.gfx, box), kNoHandle) << tag;
  }
  EXPECT_NE(app_.gfx.findobj_tag("AddLMtoSubset")[0], kNoHandle);
  EXPECT_EQ(app_.gfx.figure_of(app_.gfx.findobj_tag("AddLMtoSubset")[0]), subset);
}

bool inside(const std::array<double, 4>& a, const std::array<double, 4>& b) {
  return a[0] >= b[0] && a[1] >= b[1] && a[0] + a[2] <= b[0] + b[2] && a[1] + a[3] <= b[1] + b[3];
}

bool overlap(const std::array<double, 4>& a, const std::array<double, 4>& b) {
  return a[0] < b[0] + b[2] && b[0] < a[0] + a[2] && a[1] < b[1] + b[3] && b[1] < a[1] + a[3];
}

TEST_F(Layouts, ControlsFitTheirWindowAndDoNotOverlap) {
  for (const char* name : kLayouts) {
    Handle fig = openfig(app_.ctx, name, "new");
    auto f = app_.gfx.pixel_position(fig);
    // The window, its frame and title included, fits a 1280 x 800 screen.
    Matrix outer = app_.gfx.get(fig, "OuterPosition").matrix();
    EXPECT_LE(outer(0, 2), 1280) << name;
    EXPECT_LE(outer(0, 3) + 40, 800) << name;  // 40: room for a status bar and a task bar
    const std::array<double, 4> client{0, 0, f[2], f[3]};
    std::vector<std::array<double, 4>> panels, items;
    for (Handle c : app_.gfx.children(fig)) {
      auto p = app_.gfx.pixel_position(c);
      EXPECT_TRUE(inside(p, client)) << name << " object " << c;
      EXPECT_GT(p[2], 0);
      EXPECT_GT(p[3], 0);
      bool panel = app_.gfx.type(c) == ObjType::kUicontrol && str(c, "Style") == "panel";
      (panel ? panels : items).push_back(p);
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
      for (std::size_t j = i + 1; j < items.size(); ++j)
        EXPECT_FALSE(overlap(items[i], items[j])) << name << " items " << i << " and " << j;
      // Grouped: each control lies wholly inside a panel or wholly outside all of them.
      for (const auto& p : panels)
        EXPECT_TRUE(inside(items[i], p) || !overlap(items[i], p)) << name << " item " << i;
    }
    for (std::size_t i = 0; i < panels.size(); ++i)
      for (std::size_t j = i + 1; j < panels.size(); ++j)
        EXPECT_FALSE(overlap(panels[i], panels[j])) << name << " panels " << i << " " << j;
  }
}

TEST_F(Layouts, TheMainWindowsPlotTakesTheFreeSpaceWhenItGrows) {
  Handle fig = openfig(app_.ctx, "Qiv_proto", "new");
  EXPECT_EQ(str(fig, "Resize"), "on");
  auto axes = app_.gfx.findobj_tag("MainAxes");
  ASSERT_EQ(axes.size(), 1u);
  EXPECT_EQ(str(axes[0], "Units"), "normalized");
  auto before = app_.gfx.pixel_position(axes[0]);
  auto f = app_.gfx.pixel_position(fig);
  app_.gfx.set(fig, "Position", row({0, 0, f[2] + 280, f[3] + 160}));
  auto after = app_.gfx.pixel_position(axes[0]);
  EXPECT_GT(after[2], before[2] + 150);
  EXPECT_GT(after[3], before[3] + 100);
  // Still clear of the controls on the left.
  double right_of_controls = 0;
  for (Handle c : controls(fig)) {
    auto p = app_.gfx.pixel_position(c);
    right_of_controls = std::max(right_of_controls, p[0] + p[2]);
  }
  EXPECT_GT(before[0], right_of_controls + 40);  // room for the tick labels
}

TEST_F(Layouts, StartUpOpensTheMainWindowAndClosesTheOthers) {
  Handle main = app_.start();
  ASSERT_NE(main, kNoHandle);
  EXPECT_EQ(app_.gfx.figures(), std::vector<Handle>{main});
  EXPECT_EQ(app_.gfx.current_figure(), main);
  EXPECT_EQ(app_.state.figdir, fs::current_path().string());
  // Colours are kept in single precision.
  EXPECT_TRUE(
      app_.gfx.get(main, "Color")
          .matrix()
          .isApprox(app_.gfx.get(kScreen, "defaultUicontrolBackgroundColor").matrix(), 1e-6));
  // The registry was stored as the window's GUI data.
  Value reg = app_.gfx.getappdata(main, "UsedByGUIData_m");
  ASSERT_TRUE(reg.is_record());
  EXPECT_NE(find_field(reg.record(), "FileBox"), nullptr);
  EXPECT_EQ(find_field(reg.record(), "SubsetBox"), nullptr);
  // Each layout was opened once; the secondary windows are gone again.
  EXPECT_EQ(app_.gfx.getappdata(kScreen, "Qiv_proto_SINGLETON_handle"),
            Value(row({static_cast<double>(main)})));
  for (const char* secondary : {"qiv_subset", "qiv_target", "qiv_back"}) {
    Value v = app_.gfx.getappdata(kScreen, singleton_entry_name(secondary));
    ASSERT_TRUE(v.is_matrix()) << secondary;
    ASSERT_EQ(v.matrix().size(), 1) << secondary;
    EXPECT_FALSE(app_.gfx.ishandle(static_cast<Handle>(v.matrix()(0, 0)))) << secondary;
  }
  EXPECT_TRUE(ui_.console_lines().empty());
  EXPECT_TRUE(ui_.messages().empty());

  // Starting again reuses the main window.
  EXPECT_EQ(app_.start(), main);
  EXPECT_EQ(app_.gfx.figures(), std::vector<Handle>{main});
}

TEST_F(Layouts, SecondaryWindowsOpenFromTheHomeDirectoryAfterADirectoryChange) {
  app_.start();
  fs::create_directory("elsewhere");
  fs::current_path("elsewhere");
  app_.action("MakeSubset");
  EXPECT_TRUE(ui_.console_lines().empty()) << ui_.console_lines()[0];
  EXPECT_EQ(app_.gfx.findobj_tag("SubsetBox").size(), 1u);
  EXPECT_EQ(fs::current_path().filename(), "elsewhere");
  app_.action("CreateTarget");
  app_.action("DoBackReflect");
  EXPECT_EQ(app_.gfx.figures().size(), 4u);
}

}  // namespace
}  // namespace qiv
