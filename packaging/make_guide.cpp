// Makes the user guide (HTML) from the README at build time: its title, then the sections a
// user reads (the walk through the windows, the file formats, the session scripts).
//
//   qiv_make_guide README.md OUT.html VERSION
#include <QFile>
#include <QGuiApplication>
#include <QStringList>
#include <QTextDocument>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: qiv_make_guide README.md OUT.html VERSION\n");
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  QFile in(QString::fromLocal8Bit(argv[1]));
  if (!in.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "qiv_make_guide: cannot read %s\n", argv[1]);
    return 1;
  }
  const QStringList kept{"## A walk through the windows", "## File formats", "## Session scripts"};
  QString markdown = QString("# qiv_proto %1: user guide\n\n").arg(argv[3]);
  bool keep = false;
  for (const QString& line : QString::fromUtf8(in.readAll()).split('\n')) {
    if (line.startsWith("## ")) keep = kept.contains(line.trimmed());
    if (keep) markdown += line + '\n';
  }
  QTextDocument doc;
  doc.setMarkdown(markdown);
  doc.setMetaInformation(QTextDocument::DocumentTitle, "qiv_proto user guide");
  QFile out(QString::fromLocal8Bit(argv[2]));
  if (!out.open(QIODevice::WriteOnly) || out.write(doc.toHtml().toUtf8()) < 0) {
    std::fprintf(stderr, "qiv_make_guide: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
