#pragma once
// What the window tests share (they need Qt: only tests linked with qiv_qt include this; the
// headless tests queue answers in HeadlessUi itself):
// - AnsweringUi, the Qt Ui with file dialogs answered in advance (a dialog finds its answer
//   made absolute, with its folder's trailing separator; none left is a cancel), and a record
//   of the dialogs and message boxes it was asked for;
// - StartedWindows, the real windows started from their layouts in a scratch folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "app/application.h"
#include "core/controls.h"
#include "qt/qt_app.h"
#include "qt/qt_ui.h"
#include "qt/window_manager.h"
#include "support/files.h"

namespace qiv::test_support {

class AnsweringUi : public qt::QtUi {
 public:
  std::deque<std::string> answers;
  // "open: TITLE", "save: TITLE" and "msgbox: TEXT", in order.
  std::vector<std::string> log;
  // Off: a message box is only recorded, never shown.
  bool show_boxes = true;

  FileChoice get_file(const std::string&, const std::string& title) override {
    log.push_back("open: " + title);
    return next();
  }
  FileChoice put_file(const std::string&, const std::string& title, const std::string&) override {
    log.push_back("save: " + title);
    return next();
  }
  std::vector<FileChoice> get_files(const std::string& f, const std::string& t) override {
    const FileChoice c = get_file(f, t);
    return c.cancelled ? std::vector<FileChoice>{} : std::vector<FileChoice>{c};
  }
  void msgbox(const std::string& text) override {
    log.push_back("msgbox: " + text);
    if (show_boxes) qt::QtUi::msgbox(text);
  }

  // The texts of the message boxes asked for, in order.
  std::vector<std::string> boxes() const {
    std::vector<std::string> out;
    for (const std::string& l : log)
      if (l.rfind("msgbox: ", 0) == 0) out.push_back(l.substr(8));
    return out;
  }

 private:
  FileChoice next() {
    if (answers.empty()) return FileChoice::cancel();
    const std::filesystem::path p = std::filesystem::absolute(answers.front());
    answers.pop_front();
    return FileChoice::chosen(p.filename().string(), p.parent_path().string() + "/");
  }
};

// The program started with its real windows, from a scratch folder made current (so that the
// layouts come from the program's own folder); the main window is main_.
class StartedWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    qt_test::qt_app();
    ui_.set_windows(&wm_);
    main_ = app_.start();
    wm_.sync();
  }

  QWidget* widget(const char* tag) { return wm_.control_widget(find_control(app_.ctx, tag)); }
  void click(const char* tag) {
    auto* b = qobject_cast<QPushButton*>(widget(tag));
    ASSERT_NE(b, nullptr) << tag;
    b->click();
  }
  // Keys into the box: all its text selected and deleted, then text typed.
  static void type_keys(QLineEdit* e, const QString& text) {
    e->selectAll();
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(e, &del);
    for (QChar c : text) {
      QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(e, &key);
    }
  }
  static std::string examples(const char* name) { return example(name).string(); }

  ScratchDir scratch_{true};  // made current
  AnsweringUi ui_;
  Application app_{ui_};
  qt::WindowManager wm_{app_};
  Handle main_ = kNoHandle;
};

}  // namespace qiv::test_support
