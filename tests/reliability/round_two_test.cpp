// Files from other machines and ordinary desktop events that once crashed the program, lost
// work or reported a failure as success; each case is what a user did.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/qiv_proto.h"
#include "app/session_script.h"
#include "core/shared_state.h"
#include "platform/runtime.h"
#include "reliability/reliability_support.h"

namespace qiv::reliability {
namespace {

// The first n specimens of the example leaves, with each blank turned into sep and each line
// end into eol.
std::string leaves_as(int n, char sep, const std::string& eol) {
  std::istringstream in(read_bytes(example("leaves.txt")));
  std::string line, out;
  for (int i = 0; i < n && std::getline(in, line); ++i) {
    std::istringstream words(line);
    std::string w;
    bool first = true;
    while (words >> w) {
      if (!first) out += sep;
      out += w;
      first = false;
    }
    out += eol;
  }
  return out;
}

TEST(RoundTwo, DataFilesFromOtherMachinesLoadAlike) {
  struct Row {
    const char* name;
    std::string bytes;
  };
  const Row rows[] = {
      {"LF blanks", leaves_as(5, ' ', "\n")},
      {"CR alone, commas (old Mac spreadsheet)", leaves_as(5, ',', "\r")},
      {"CR LF, commas", leaves_as(5, ',', "\r\n")},
      {"byte order mark, CR LF", "\xEF\xBB\xBF" + leaves_as(5, ',', "\r\n")},
      {"byte order mark, CR alone, empty line then rubbish",
       "\xEF\xBB\xBF" + leaves_as(5, ' ', "\r") + "\rnot data\r"},
  };
  ScratchDir scratch;
  std::string want;
  for (const Row& r : rows) {
    write_bytes(scratch / "five.txt", r.bytes);
    Session s;
    s.act("Load", scratch / "five.txt");
    EXPECT_TRUE(s.ui.messages().empty()) << r.name << ": " << s.ui.messages().front();
    EXPECT_EQ(s.app.state.data->rows(), 5) << r.name;
    EXPECT_EQ(s.app.state.data->cols(), 25) << r.name;
    const std::string data = describe_member(s.app.state, "data");
    if (want.empty()) want = data;
    EXPECT_EQ(data, want) << r.name;
  }
}

TEST(RoundTwo, WhatIsNoRegularFileIsRefusedAtOnceAndChangesNothing) {
  ScratchDir scratch;
  ASSERT_EQ(::mkfifo((scratch / "pipe.txt").c_str(), 0600), 0);
  fs::create_directories(scratch / "folder.txt");
  struct Row {
    const char* action;
    fs::path path;
    const char* message;
  };
  const Row rows[] = {
      {"Load", scratch / "pipe.txt", "Cannot read pipe.txt: it is not a regular file."},
      {"Load", "/dev/zero", "Cannot read zero: it is not a regular file."},
      {"LoadProto", scratch / "pipe.txt", "Cannot read pipe.txt: it is not a regular file."},
      {"LoadBlock", scratch / "folder.txt", "Cannot read folder.txt: it is not a regular file."},
  };
  for (const Row& r : rows) {
    Session s;
    s.act("Load", example("leaves.txt"));
    s.act("LoadProto", example("protocol.txt"));
    if (std::string(r.action) == "LoadBlock") s.act("CreateTarget");
    s.ui.clear_records();
    const Snapshot before = snapshot(s);
    s.act(r.action, r.path);
    std::vector<std::string> said = s.ui.messages();
    for (const auto& l : s.ui.console_lines()) said.push_back(l);
    EXPECT_EQ(said, std::vector<std::string>{r.message}) << r.action << " " << r.path;
    EXPECT_EQ(difference(before, snapshot(s)), "") << r.action << " " << r.path;
  }
}

// The target window with the example blocks loaded and a block being typed.
void blocks_in_progress(Session& s) {
  s.act("Load", example("leaves.txt"));
  s.act("LoadProto", example("protocol.txt"));
  s.act("CreateTarget");
  s.act("LoadBlock", example("blocks.txt"));
  s.type("BlockBox", "1 7");
  s.ui.clear_records();
}

TEST(RoundTwo, LoadSavedBlocksReadsEverythingBeforeItClearsAnything) {
  ScratchDir scratch;
  write_bytes(scratch / "protocol.txt", read_bytes(example("protocol.txt")));
  struct Row {
    const char* name;
    const char* file;     // written into the scratch folder unless empty
    const char* content;  // of that file
    const char* message;
  };
  const Row rows[] = {
      {"missing file", "", "", "Cannot read the block structure file missing.txt."},
      {"words after numbers", "b.txt", "protocol.txt \n 1 7 8 # lengths\n 2 3 \n",
       "The block structure file b.txt, line 2, holds \"1 7 8 # lengths\", which is not a list "
       "of line numbers."},
      {"protocol missing", "b.txt", "nosuch.txt \n 1 \n",
       "Error loading protocol file, make sure protocol file and block structure file are in "
       "the same directory"},
      {"protocol is no table", "b.txt", "b.txt \n 1 \n",
       "Cannot read b.txt: line 1: \"b.txt\" is not a number."},
      {"a line the protocol lacks", "b.txt", "protocol.txt \n 1 7 8 99 \n 2 \n",
       "Block 1 holds 99, which is not a protocol line number from 1 to 8."},
  };
  for (const Row& r : rows) {
    Session s;
    blocks_in_progress(s);
    const std::string name = *r.file ? r.file : "missing.txt";
    if (*r.file) write_bytes(scratch / r.file, r.content);
    const Snapshot before = snapshot(s);
    s.act("LoadBlock", scratch / name);
    EXPECT_EQ(s.ui.messages(), std::vector<std::string>{r.message}) << r.name;
    EXPECT_EQ(difference(before, snapshot(s)), "") << r.name;
  }
}

TEST(RoundTwo, ABlockFileFindsItsProtocolBesideItOrByItsFirstWord) {
  ScratchDir scratch;
  fs::create_directories(scratch / "moved");
  write_bytes(scratch / "moved" / "protocol.txt", read_bytes(example("protocol.txt")));
  struct Row {
    const char* name;
    const char* first_line;
    const char* protoname;
  };
  const Row rows[] = {
      {"as the program writes it", "protocol.txt ", "protocol.txt"},
      {"blanks around", "  protocol.txt  ", "protocol.txt"},
      {"a comment after the name", "protocol.txt made on Monday", "protocol.txt"},
      {"CR line ends", "protocol.txt\r 1 7 8 \r 2 3 4 5 6 \r", "protocol.txt"},
  };
  for (const Row& r : rows) {
    std::string text = r.first_line;
    if (text.find('\r') == std::string::npos) text += "\n 1 7 8 \n 2 3 4 5 6 \n";
    write_bytes(scratch / "moved" / "blocks.txt", text);
    Session s;
    s.act("Load", example("leaves.txt"));
    s.act("CreateTarget");
    s.act("LoadBlock", scratch / "moved" / "blocks.txt");  // the folder before holds no protocol
    EXPECT_TRUE(s.ui.messages().empty()) << r.name << ": " << s.ui.messages().front();
    EXPECT_EQ(describe_member(s.app.state, "protoname"), r.protoname) << r.name;
    EXPECT_EQ(describe_member(s.app.state, "block"), "1 7 8\n2 3 4 5 6") << r.name;
    EXPECT_EQ(s.box("ProtoPointBox"), "8") << r.name;
  }
}

TEST(RoundTwo, TheMainWindowEditsTheProtocolTheTargetWindowLoaded) {
  Session s;
  s.act("Load", example("leaves.txt"));
  s.act("NewProto");
  s.act("CreateTarget");
  s.act("SetBlocks");
  s.type("MaxBlockBox", "2");
  s.act("SetBlocks");
  s.act("LoadProtoT", example("protocol.txt"));
  EXPECT_EQ(s.box("ProtoPointBox"), "8");
  // "Add line" appends a ninth line to the loaded protocol instead of refusing.
  s.type("EndBox1", "2");
  s.type("EndBox2", "3");
  s.act("AddLine");
  s.type("ActivePointBox", "2");
  s.act("DeleteLine");
  for (const auto& m : s.ui.messages()) ADD_FAILURE() << m;
  EXPECT_EQ(s.app.state.proto->count(), 8);
  EXPECT_EQ(s.box("ProtoPointBox"), "8");
  s.act("ClearTarget");
  EXPECT_EQ(s.box("ProtoPointBox"), "    ");
}

TEST(RoundTwo, MessagesNameWhatTheWindowShows) {
  Session s;
  s.act("Load", example("leaves.txt"));
  s.act("NewProto");
  const struct {
    const char* box;
    const char* text;
    const char* message;
  } rows[] = {
      {"EndBox1", "x",
       "The first landmark of \"Line between\" must be one landmark number from 1 to 12."},
      {"EndBox2", "13",
       "The second landmark of \"Line between\" must be one landmark number from 1 to 12."},
      {"ProtoPointBox", "5", "\"Lines in protocol:\" must show the protocol's line count, 0."},
  };
  for (const auto& r : rows) {
    s.type("EndBox1", "1");
    s.type("EndBox2", "2");
    s.type("ProtoPointBox", "0");
    s.type(r.box, r.text);
    s.ui.clear_records();
    s.act("AddLine");
    EXPECT_EQ(s.ui.messages(), std::vector<std::string>{r.message}) << r.box;
  }
}

TEST(RoundTwo, SavingShowsWhyItCouldNotWrite) {
  ScratchDir scratch;
  Session s;
  blocks_in_progress(s);
  s.act("BlockEnter");
  s.ui.clear_records();
  s.ui.answer_path((scratch / "gone" / "b.txt").string());
  s.ui.answer_path((scratch / "gone" / "m.txt").string());
  s.act("SaveMatrix");
  EXPECT_EQ(s.ui.messages(),
            (std::vector<std::string>{
                "Cannot write the block structure file b.txt: No such file or directory.",
                "Cannot write the target matrix file m.txt: No such file or directory."}));

  s.ui.clear_records();
  s.act("SaveProtocol", scratch / "gone" / "p.txt");
  EXPECT_EQ(s.ui.messages(), std::vector<std::string>{"Error on file opening"});
  EXPECT_EQ(s.ui.console_lines(),
            std::vector<std::string>{"Cannot write p.txt: No such file or directory."});

  // Saving onto a link writes the file it points to and keeps the link and the file's mode.
  write_bytes(scratch / "kept.txt", "old\n");
  fs::permissions(scratch / "kept.txt", fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink(scratch / "kept.txt", scratch / "link.txt");
  s.ui.clear_records();
  s.act("SaveProtocol", scratch / "link.txt");
  EXPECT_TRUE(s.ui.messages().empty());
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(scratch / "link.txt")));
  EXPECT_EQ(read_bytes(scratch / "kept.txt"), read_bytes(example("protocol.txt")));
  EXPECT_EQ(fs::status(scratch / "kept.txt").permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
}

TEST(RoundTwo, TypedTextIsBoundedInLength) {
  Session s;
  s.act("Load", example("leaves.txt"));
  s.act("MakeSubset");
  std::string text;
  while (text.size() < 200000) text += "1 2 3 ";
  s.type("SubsetBox", text);
  s.ui.clear_records();
  const Snapshot before = snapshot(s);
  s.act("ShowSubset");
  EXPECT_EQ(s.ui.console_lines(),
            std::vector<std::string>{"The box \"Landmark numbers separated by blanks, in any "
                                     "order\" holds " +
                                     std::to_string(text.size()) +
                                     " characters; a box holds at most 100000."});
  EXPECT_EQ(difference(before, snapshot(s)), "");
}

TEST(RoundTwo, CallsByNameNestOnlySoDeep) {
  Session s;
  Args chain;
  for (int i = 0; i < 30000; ++i) chain.emplace_back("Qiv_proto");
  chain.emplace_back("dload");
  chain.emplace_back("nosuch.txt");
  Qiv_proto(s.app.ctx, chain, 0);
  EXPECT_EQ(s.ui.console_lines(), std::vector<std::string>{call_depth_message("Qiv_proto")});
  EXPECT_EQ(call_depth_message("Qiv_proto"),
            "Calls by name nest more than 100 deep; \"Qiv_proto\" was not run.");
  // A layout's callback of that depth is refused when the layout is read.
  std::vector<std::string> words(30000, "Qiv_proto");
  words.push_back("CopyBigImage");
  EXPECT_EQ(s.app.rt.check_callback(words), call_depth_message("Qiv_proto"));
}

// An action that runs out of memory halfway gives everything back and says so in a box.
TEST(RoundTwo, OutOfMemoryLeavesEverythingAsBefore) {
  Session s;
  blocks_in_progress(s);
  s.app.rt.add("hungry", 0, 0, [&](const Args&, int) -> Outputs {
    DataSetsKept replaced(s.app.state, DataSetsKept::Which::kLoaded);  // as "Load" does
    s.app.state.proto.reset();
    s.type("FileBox", "File: half.txt");
    throw std::bad_alloc();
  });
  const Snapshot before = snapshot(s);
  Qiv_proto(s.app.ctx, {Value("hungry")}, 0);
  EXPECT_EQ(difference(before, snapshot(s)), "");
  EXPECT_EQ(s.ui.messages(), std::vector<std::string>{"Out of memory while running hungry; "
                                                      "everything is as it was before."});
}

TEST(RoundTwo, StartingInARemovedFolderFallsBackToTheHomeFolder) {
  ScratchDir scratch;
  fs::create_directories(scratch / "gone");
  const fs::path home = scratch / "home";
  fs::create_directories(home);
  const char* old_home = std::getenv("HOME");
  const std::string saved = old_home ? old_home : "";
  ::setenv("HOME", home.c_str(), 1);
  fs::current_path(scratch / "gone");
  fs::remove(scratch / "gone");
  {
    HeadlessUi ui;
    Application app{ui};
    app.action("SetHome");
    EXPECT_EQ(describe_member(app.state, "figdir"), home.string());
    EXPECT_EQ(ui.console_lines(),
              std::vector<std::string>{"The folder the program was started in no longer "
                                       "exists; working in " +
                                       home.string() + " instead."});
  }
  if (old_home) ::setenv("HOME", saved.c_str(), 1);
}

// Session scripts: an answer belongs to the step after it; one left unused stops the script
// before it could slide to a later dialog and overwrite a file there.
TEST(RoundTwo, ScriptAnswersCannotDrift) {
  ScratchDir scratch(true);
  write_bytes(scratch / "protocol.txt", "precious\n");
  const std::string leaves = example("leaves.txt").string();
  struct Row {
    const char* name;
    std::string script;
    int status;
    std::string err;
  };
  const Row rows[] = {
      {"refused before its dialog",
       "answer protocol.txt\npress SaveProtocol\nanswer " + leaves +
           "\npress Load\nanswer protocol.txt\npress NewProto\npress SaveProtocol\n",
       1, "script: line 1: answer not used by this step\n"},
      {"fewer dialogs than answers", "answer " + leaves + "\nanswer x.txt\npress Load\n", 1,
       "script: line 2: answer not used by this step\n"},
      {"left at the end", "answer " + leaves + "\npress Load\nanswer protocol.txt\n", 1,
       "script: line 3: answer not used by this step\n"},
      {"every answer used",
       "answer " + leaves + "\n# a comment\nprint FileBox String\npress Load\n", 0, ""},
  };
  for (const Row& r : rows) {
    std::ostringstream out, err;
    EXPECT_EQ(run_script_text(r.script, out, err), r.status) << r.name;
    EXPECT_EQ(err.str(), r.err) << r.name;
    EXPECT_EQ(read_bytes(scratch / "protocol.txt"), "precious\n") << r.name;
  }
}

}  // namespace
}  // namespace qiv::reliability
