// Undo and Redo: one working session through every action that is a step of the history;
// after each, Undo puts back the shared state and every box as they were before it, and Redo
// brings back what it did.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/application.h"
#include "app/qivprotosw.h"
#include "core/controls.h"
#include "platform/headless_ui.h"
#include "support/files.h"
#include "support/snapshot.h"

namespace qiv {
namespace {
namespace fs = std::filesystem;

struct Step {
  const char* set_tag;  // a control whose String is set first, or nullptr
  const char* set_text;
  const char* answer;  // the next file dialog's answer, "" for none
  const char* action;
};

// In the order a user works; each row builds on the rows before it.
const Step kSession[] = {
    {nullptr, "", "leaves.txt", "Load"},
    {nullptr, "", "", "NewProto"},
    {"EndBox1", "3", "", "AddLine"},
    {"EndBox1", "5", "", "AddLine"},
    {"ActivePointBox", "1", "", "DeleteLine"},
    {nullptr, "", "protocol.txt", "LoadProto"},
    {nullptr, "", "", "MakeSubset"},
    {"PointBox", "4", "", "AddLMtoSubset"},
    {nullptr, "", "", "InvertSubset"},
    {nullptr, "", "", "DoBackReflect"},
    {"ActiveLMBox", "1", "", "AddMidline"},
    {"MidBox", "1 7", "", "MidlineReflect"},
    {nullptr, "", "", "CreateTarget"},
    {"MaxBlockBox", "2", "", "SetBlocks"},
    {nullptr, "", "", "AddBlocks"},
    {"BlockBox", "1 2", "", "BlockEnter"},
    {"BlockBox", "3", "", "BlockUp"},
    {"BlockBox", "4 5", "", "BlockDown"},
    {"TargetLineBox", "6", "", "AddLinetoBlock"},
    {nullptr, "", "protocol.txt", "LoadProtoT"},
    {nullptr, "", "blocks.txt", "LoadBlock"},
    {nullptr, "", "", "ClearTarget"},
    {nullptr, "", "", "Clear"},
};

class History : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* f : {"leaves.txt", "protocol.txt", "blocks.txt"})
      fs::copy_file(test_support::example(f), home.path() / f);
    app.start();
  }
  // The members a step may change: the window handles are not the user's work.
  std::vector<std::string> members() {
    std::vector<std::string> out;
    for (const std::string& m : test_support::snapshot(app).members)
      if (m.rfind("fig", 0) != 0 && m.rfind("menufigh", 0) != 0 && m.rfind("lineh", 0) != 0 &&
          m.rfind("markerh", 0) != 0)
        out.push_back(m);
    return out;
  }
  void run(const Step& s) {
    if (s.set_tag) set_control_text(app.ctx, s.set_tag, s.set_text);
    if (*s.answer) ui.answer_path((home.path() / s.answer).string());
    app.action(s.action);
  }
  test_support::ScratchDir home{true};
  HeadlessUi ui;
  Application app{ui};
};

TEST_F(History, UndoPutsBackAndRedoBringsBackEachStep) {
  for (const Step& s : kSession) {
    SCOPED_TRACE(s.action);
    if (!find_action(s.action)->undo.label) {
      run(s);
      continue;
    }
    if (s.set_tag) set_control_text(app.ctx, s.set_tag, s.set_text);
    const auto before = std::make_pair(members(), test_support::snapshot(app).controls);
    run({nullptr, "", s.answer, s.action});
    const auto after = std::make_pair(members(), test_support::snapshot(app).controls);
    ASSERT_NE(before, after);
    app.action("Undo");
    EXPECT_EQ(std::make_pair(members(), test_support::snapshot(app).controls), before);
    app.action("Redo");
    EXPECT_EQ(std::make_pair(members(), test_support::snapshot(app).controls), after);
  }
  EXPECT_TRUE(ui.messages().empty()) << ui.messages().front();
}

TEST_F(History, NamesStepsDropsRedoOnANewChangeAndKeepsAHundred) {
  app.action("Undo");
  EXPECT_EQ(ui.statuses().back().text, "Nothing to undo.");
  run(kSession[0]);
  run(kSession[1]);
  for (int i = 0; i < 60; ++i) {
    run({"EndBox1", "3", "", "AddLine"});
    run({"ActivePointBox", "1", "", "DeleteLine"});
  }
  EXPECT_EQ(app.history.undo_name(), "Delete line 1");
  int undone = 0;
  while (app.history.can_undo() && undone < 200) {
    app.action("Undo");
    ++undone;
  }
  EXPECT_GE(undone, 100);
  app.action("Redo");  // Load
  app.action("Redo");  // New protocol
  EXPECT_TRUE(app.history.can_redo());
  run({"EndBox1", "7", "", "AddLine"});
  EXPECT_FALSE(app.history.can_redo());
  app.action("Redo");
  EXPECT_EQ(ui.statuses().back().text, "Nothing to redo.");
}

}  // namespace
}  // namespace qiv
