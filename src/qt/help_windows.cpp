#include "qt/help_windows.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/executable_path.h"
#include "qt/window_fit.h"

#ifndef QIV_VERSION
#error "QIV_VERSION is set by the build from the project's version"
#endif

namespace qiv::qt {

namespace fs = std::filesystem;

fs::path user_guide_file(const fs::path& exe) {
  if (exe.empty()) return {};
  const fs::path dir = exe.parent_path();
  for (const fs::path& p : {dir / "user-guide.html", dir.parent_path() / "share" / "doc" /
                                                         "qiv-proto" / "user-guide.html"}) {
    std::error_code ec;
    if (fs::is_regular_file(p, ec)) return p;
  }
  return {};
}

void show_user_guide(QWidget* parent) {
  // One guide at a time: asking again brings the open one to the front.
  static QPointer<QTextBrowser> open;
  if (open) {
    open->raise();
    open->activateWindow();
    return;
  }
  const fs::path file = user_guide_file(executable_path());
  if (file.empty()) {
    QMessageBox::information(parent, "User guide",
                             "The user guide is not installed: it is looked for as "
                             "user-guide.html beside the program and in "
                             "../share/doc/qiv-proto/ from its folder.");
    return;
  }
  auto* view = new QTextBrowser;
  open = view;
  view->setAttribute(Qt::WA_DeleteOnClose);
  view->setWindowTitle("qiv_proto user guide");
  view->setOpenExternalLinks(true);
  view->setSource(QUrl::fromLocalFile(QString::fromStdString(file.string())));
  // Centred over the main window, and within its screen however small that is.
  QRect at(QPoint(0, 0), QSize(760, 640));
  const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
  if (parent) at.moveCenter(parent->frameGeometry().center());
  if (screen) at = fit_into(at, QSize(320, 240), screen->availableGeometry());
  view->setGeometry(at);
  view->show();
}

QString citation_text() {
  return QString::fromUtf8(
      "qiv_proto, version " QIV_VERSION
      ": landmark protocols for two-dimensional morphometrics. Computer program.\n\n"
      "@software{qiv_proto,\n"
      "  title = {qiv_proto: landmark protocols for two-dimensional morphometrics},\n"
      "  version = {" QIV_VERSION
      "},\n"
      "  note = {Computer program}\n"
      "}\n");
}

void show_citation(QWidget* parent) {
  auto* d = new QDialog(parent);
  d->setAttribute(Qt::WA_DeleteOnClose);
  d->setWindowTitle("How to cite qiv_proto");
  auto* text = new QPlainTextEdit(citation_text(), d);
  text->setReadOnly(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, d);
  QPushButton* copy = buttons->addButton("Copy", QDialogButtonBox::ActionRole);
  QObject::connect(copy, &QPushButton::clicked,
                   [] { QGuiApplication::clipboard()->setText(citation_text()); });
  QObject::connect(buttons, &QDialogButtonBox::rejected, d, &QDialog::close);
  auto* top = new QVBoxLayout(d);
  top->addWidget(text);
  top->addWidget(buttons);
  d->resize(560, 240);
  d->show();
}

}  // namespace qiv::qt
