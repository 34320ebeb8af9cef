#include "qt/menus.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QStatusBar>
#include <QUrl>

#include "data/landmark_format.h"
#include "qt/figure_window.h"
#include "qt/help_windows.h"
#include "qt/picture_dialog.h"
#include "qt/window_manager.h"

#ifndef QIV_VERSION
#error "QIV_VERSION is set by the build from the project's version"
#endif

namespace qiv::qt {

bool is_main_window(const Graphics& g, Handle fig) {
  return g.ishandle(fig) && g.type(fig) == ObjType::kFigure &&
         g.get(fig, "Tag").str() == "MainWindow";
}

QString title_with_file(const QString& title, const std::optional<std::string>& file) {
  if (!file || file->empty()) return title;
  return title + QString::fromUtf8(" \u2014 ") + QString::fromStdString(*file);
}

QString about_text() {
  return QString::fromStdString(
      "qiv_proto " QIV_VERSION
      "\n"
      "Landmark protocols for 2-D morphometrics: lines between landmarks, their lengths, "
      "landmark subsets, back-reflection and target matrices.\n\n" +
      landmark_formats_about());
}

const std::vector<MenuItem>& button_menu_items() {
  static const std::vector<MenuItem> items{
      {"File", "Load data file...", "Load", "Ctrl+O"},
      {"File", "Load protocol...", "LoadProto", ""},
      {"File", "Save protocol...", "SaveProtocol", "Ctrl+S"},
      {"File", "Save lengths...", "SaveLengths", ""},
      {"File", "Copy picture", "CopyBigImage", "Ctrl+Shift+C"},
      {"File", "Save picture...", "SaveBigImage", ""},
      {"Tools", "Landmark subset...", "MakeSubset", ""},
      {"Tools", "Back-reflection...", "DoBackReflect", ""},
      {"Tools", "Target matrix...", "CreateTarget", ""},
  };
  return items;
}

MainMenus::MainMenus(WindowManager& wm, FigureWindow& window)
    : QObject(&window), wm_(wm), window_(window), bar_(new QMenuBar(&window)) {
  // A menu bar inside the window on every platform: the figure area below it keeps the
  // layout's geometry.
  bar_->setNativeMenuBar(false);
  QMenu* file = bar_->addMenu("&File");
  QMenu* edit = bar_->addMenu("&Edit");
  QMenu* tools = bar_->addMenu("&Tools");
  // The keys reach them from every window of the program: the tool windows hold no menus.
  undo_ = edit->addAction("Undo");
  undo_->setShortcut(QKeySequence("Ctrl+Z"));
  redo_ = edit->addAction("Redo");
  redo_->setShortcuts({QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")});
  for (QAction* a : {undo_, redo_}) a->setShortcutContext(Qt::ApplicationShortcut);
  connect(undo_, &QAction::triggered, this, [this] { wm_.run_action("Undo"); });
  connect(redo_, &QAction::triggered, this, [this] { wm_.run_action("Redo"); });
  for (const MenuItem& m : button_menu_items()) {
    QMenu* menu = std::string(m.menu) == "File" ? file : tools;
    if (std::string(m.tag) == "CopyBigImage") menu->addSeparator();
    QAction* a = menu->addAction(QString::fromUtf8(m.text));
    if (*m.keys) a->setShortcut(QKeySequence(QString::fromLatin1(m.keys)));
    const std::string tag = m.tag;
    connect(a, &QAction::triggered, this, [this, tag] { press(tag); });
    items_.emplace_back(tag, a);
  }
  QAction* picture = file->addAction("Picture options...");
  connect(picture, &QAction::triggered, this,
          [this] { edit_picture_options(&window_, wm_.app().state.picture); });
  file->addSeparator();
  quit_ = file->addAction("&Quit");
  quit_->setShortcut(QKeySequence("Ctrl+Q"));
  // Closing the main window closes the tool windows and ends the program.
  connect(quit_, &QAction::triggered, &window_, &QWidget::close);

  QMenu* help = bar_->addMenu("&Help");
  QAction* guide = help->addAction("User guide");
  guide->setShortcut(QKeySequence::HelpContents);
  connect(guide, &QAction::triggered, this, [this] { show_user_guide(&window_); });
  connect(help->addAction("How to cite"), &QAction::triggered, this,
          [this] { show_citation(&window_); });
  about_ = help->addAction("&About qiv_proto");
  connect(about_, &QAction::triggered, this, [this] {
    auto* box = new QMessageBox(QMessageBox::Information, "About qiv_proto", about_text(),
                                QMessageBox::Ok, &window_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
  });
  for (QMenu* m : {file, edit, tools}) connect(m, &QMenu::aboutToShow, this, &MainMenus::refresh);

  window_.setAcceptDrops(true);
  window_.installEventFilter(this);
  refresh();
}

QAction* MainMenus::item(const std::string& tag) const {
  for (const auto& [t, a] : items_)
    if (t == tag) return a;
  return nullptr;
}

Handle MainMenus::button(const std::string& tag) const {
  const Graphics& g = wm_.gfx();
  const Handle fig = window_.figure();
  if (!g.ishandle(fig)) return kNoHandle;
  for (Handle c : g.children(fig))
    if (g.type(c) == ObjType::kUicontrol && g.get(c, "Tag").str() == tag) return c;
  return kNoHandle;
}

void MainMenus::refresh() {
  const Graphics& g = wm_.gfx();
  for (const auto& [tag, a] : items_) {
    const Handle b = button(tag);
    const bool on = b != kNoHandle && g.get(b, "Enable").str() == "on";
    if (a->isEnabled() != on) a->setEnabled(on);
  }
  const History& h = wm_.app().history;
  const QString undo = QString::fromStdString(h.can_undo() ? "Undo " + h.undo_name() : "Undo");
  const QString redo = QString::fromStdString(h.can_redo() ? "Redo " + h.redo_name() : "Redo");
  if (undo_->text() != undo) undo_->setText(undo);
  if (redo_->text() != redo) redo_->setText(redo);
  if (undo_->isEnabled() != h.can_undo()) undo_->setEnabled(h.can_undo());
  if (redo_->isEnabled() != h.can_redo()) redo_->setEnabled(h.can_redo());
}

void MainMenus::press(const std::string& tag) {
  const Handle b = button(tag);
  // A shortcut may come before the menu shows the button's latest state.
  if (b == kNoHandle || wm_.gfx().get(b, "Enable").str() != "on") return;
  wm_.run_callback(b);
}

bool MainMenus::eventFilter(QObject* watched, QEvent* e) {
  if (watched != &window_) return QObject::eventFilter(watched, e);
  if (e->type() == QEvent::DragEnter) {
    auto* d = static_cast<QDragEnterEvent*>(e);
    // Anything is taken, so that a drop of the wrong thing can say what is wanted.
    if (d->mimeData()->hasUrls() || d->mimeData()->hasText()) d->acceptProposedAction();
    return true;
  }
  if (e->type() == QEvent::DragMove) {
    static_cast<QDragMoveEvent*>(e)->acceptProposedAction();
    return true;
  }
  if (e->type() == QEvent::Drop) {
    auto* d = static_cast<QDropEvent*>(e);
    d->acceptProposedAction();
    drop(d->mimeData());
    return true;
  }
  return QObject::eventFilter(watched, e);
}

void MainMenus::drop(const QMimeData* mime) {
  Application& app = wm_.app();
  const QList<QUrl> urls = mime->hasUrls() ? mime->urls() : QList<QUrl>{};
  std::vector<std::string> paths;
  for (const QUrl& url : urls) {
    const QString path = url.isLocalFile() ? url.toLocalFile() : "";
    if (path.isEmpty() || QFileInfo(path).isDir()) break;
    paths.push_back(path.toStdString());
  }
  if (paths.empty() || paths.size() != static_cast<std::size_t>(urls.size())) {
    app.ctx.ui.msgbox("Only a landmark data file can be dropped here.");
    return;
  }
  // As "qiv_proto FILE..." does: the "Load" action with the files as its dialog's answer, in
  // the main window, in the order dropped.
  window_.status_bar()->clearMessage();
  Graphics& g = wm_.gfx();
  if (g.current_figure() != window_.figure()) g.figure(window_.figure());
  app.load_files(paths);
  wm_.sync();
}

}  // namespace qiv::qt
