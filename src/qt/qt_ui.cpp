#include "qt/qt_ui.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QStatusBar>
#include <iostream>

#include "qt/figure_picture.h"
#include "qt/figure_window.h"
#include "qt/page_picture.h"
#include "qt/progress_bar.h"
#include "qt/window_manager.h"

namespace qiv::qt {

QString qt_filter(const std::string& filter) {
  const QString text = QString::fromStdString(filter);
  if (text.contains('(')) return text;  // named filters already, ";;" between them
  QStringList patterns = text.split(';', Qt::SkipEmptyParts);
  for (QString& p : patterns) p = p.trimmed();
  const QString joined = patterns.join(' ');
  if (joined.isEmpty()) return "All files (*)";
  return QString("%1 (%1)").arg(joined);
}

QString filter_suffix(const QString& name_filter) {
  QString patterns = name_filter;
  const int open = patterns.indexOf('(');
  if (open >= 0) patterns = patterns.mid(open + 1).section(')', 0, 0);
  const QString first = patterns.split(' ', Qt::SkipEmptyParts).value(0);
  if (first.startsWith("*.") && !first.mid(1).contains(QLatin1Char('*'))) return first.mid(2);
  return QString();
}

QWidget* QtUi::dialog_parent() const {
  if (!wm_) return nullptr;
  Graphics& g = wm_->gfx();
  Handle fig = g.callback_figure();
  if (fig == kNoHandle) fig = g.current_figure();
  FigureWindow* w = wm_->window(fig);
  return w && w->isVisible() ? w : QApplication::activeWindow();
}

std::vector<FileChoice> QtUi::file_dialog(bool save, bool several, const std::string& filter,
                                          const std::string& title, const std::string& suggested) {
  QFileDialog d(dialog_parent(), QString::fromStdString(title), QDir::currentPath(),
                qt_filter(filter));
  d.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  d.setFileMode(save      ? QFileDialog::AnyFile
                : several ? QFileDialog::ExistingFiles
                          : QFileDialog::ExistingFile);
  if (save) {
    // A name typed without an extension gets the first pattern of the chosen filter.
    const QStringList filters = qt_filter(filter).split(";;");
    d.setDefaultSuffix(filter_suffix(filters.value(0)));
    QObject::connect(&d, &QFileDialog::filterSelected,
                     [&d](const QString& f) { d.setDefaultSuffix(filter_suffix(f)); });
    if (!suggested.empty()) d.selectFile(QString::fromStdString(suggested));
  }
  if (d.exec() != QDialog::Accepted) return {};
  std::vector<FileChoice> chosen;
  for (const QString& file : d.selectedFiles()) {
    const QFileInfo info(file);
    QString dir = QDir::cleanPath(info.absolutePath());
    if (!dir.endsWith('/')) dir += '/';
    chosen.push_back(FileChoice::chosen(info.fileName().toStdString(), dir.toStdString()));
  }
  return chosen;
}

FileChoice QtUi::get_file(const std::string& filter, const std::string& title) {
  auto chosen = file_dialog(false, false, filter, title, {});
  return chosen.empty() ? FileChoice::cancel() : chosen.front();
}

FileChoice QtUi::put_file(const std::string& filter, const std::string& title,
                          const std::string& suggested) {
  auto chosen = file_dialog(true, false, filter, title, suggested);
  return chosen.empty() ? FileChoice::cancel() : chosen.front();
}

std::vector<FileChoice> QtUi::get_files(const std::string& filter, const std::string& title) {
  return file_dialog(false, true, filter, title, {});
}

std::unique_ptr<Progress> QtUi::start_progress(const std::string& what, Handle figure) {
  FigureWindow* w = nullptr;
  if (wm_) {
    const Graphics& g = wm_->gfx();
    w = wm_->window(g.ishandle(figure) ? figure : g.current_figure());
  }
  QStatusBar* bar = w && w->isVisible() ? w->status_bar() : nullptr;
  return std::make_unique<ProgressBar>(QString::fromStdString(what), bar, progress_delay_ms_);
}

void QtUi::msgbox(const std::string& text) {
  auto* box = new QMessageBox(QMessageBox::NoIcon, QString(), QString::fromStdString(text),
                              QMessageBox::Ok, dialog_parent());
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(false);
  box->setWindowModality(Qt::NonModal);
  box->show();
}

SaveReply QtUi::ask_save(const std::string& question) {
  QMessageBox box(QMessageBox::Question, "qiv_proto", QString::fromStdString(question),
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, dialog_parent());
  box.setDefaultButton(QMessageBox::Save);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Save:
      return SaveReply::kSave;
    case QMessageBox::Discard:
      return SaveReply::kDiscard;
    default:
      return SaveReply::kCancel;
  }
}

void QtUi::console(const std::string& line) { std::cout << line << std::endl; }

void QtUi::report_failure(const std::string& text, Handle from_figure) {
  console(text);
  if (!wm_) return;
  if (FigureWindow* w = wm_->window(from_figure)) w->show_status(QString::fromStdString(text));
}

void QtUi::status(const std::string& text, Handle figure) {
  if (!wm_) return;
  if (FigureWindow* w = wm_->window(figure)) w->show_status(QString::fromStdString(text));
}

void QtUi::copy_figure(Graphics& gfx, Handle fig, const PictureOptions* page) {
  auto* mime = new QMimeData;
  mime->setData("image/svg+xml", page ? page_svg(gfx, fig, *page) : figure_svg(gfx, fig));
  mime->setImageData(page ? page_image(gfx, fig, *page) : clipboard_image(gfx, fig));
  QGuiApplication::clipboard()->setMimeData(mime);
}

void QtUi::save_figure(Graphics& gfx, Handle fig, const std::string& path,
                       const PictureOptions* page) {
  if (page) {
    save_page_file(gfx, fig, path, *page);
  } else {
    save_figure_file(gfx, fig, path);
  }
}

}  // namespace qiv::qt
