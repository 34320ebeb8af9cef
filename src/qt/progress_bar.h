#pragma once
// Long work shown in the status bar of the window it was started from: what it does, a bar
// and a Cancel button. Nothing shows until the work has gone on for the delay; from then on
// the windows repaint while it runs (events handled at most every kEventsEveryMs), and every
// mouse click, key and window close that is not for the Cancel button is held back, so that
// nothing else runs in the middle of the work. Escape cancels too.
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>

#include "platform/ui.h"

class QProgressBar;
class QPushButton;
class QStatusBar;
class QWidget;

namespace qiv::qt {

class ProgressBar : public QObject, public Progress {
  Q_OBJECT

 public:
  static constexpr int kEventsEveryMs = 50;

  // bar: the status bar to show in, or null to show nothing; delay_ms: how long the work may
  // run before the bar shows.
  ProgressBar(const QString& what, QStatusBar* bar, int delay_ms);
  ~ProgressBar() override;

  bool advance(double fraction) override;

  // The bar and its button once shown, for tests; null before.
  QProgressBar* bar() const { return progress_; }
  QPushButton* cancel_button() const { return cancel_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void show_widgets();
  bool for_the_bar(QObject* watched) const;

  QString what_;
  QPointer<QStatusBar> status_;
  QPointer<QWidget> box_;
  QProgressBar* progress_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QElapsedTimer clock_;
  qint64 last_events_ = -1;
  int delay_ms_;
  bool cancelled_ = false;
};

}  // namespace qiv::qt
