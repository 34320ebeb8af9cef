#include "qt/progress_bar.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <algorithm>
#include <cmath>

namespace qiv::qt {
namespace {

// What the user does with mouse, keys, touch and drops.
bool is_user_input(QEvent::Type t) {
  switch (t) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
      return true;
    default:
      return false;
  }
}

}  // namespace

ProgressBar::ProgressBar(const QString& what, QStatusBar* bar, int delay_ms)
    : what_(what), status_(bar), delay_ms_(delay_ms) {
  clock_.start();
}

ProgressBar::~ProgressBar() {
  qApp->removeEventFilter(this);
  delete box_.data();
}

void ProgressBar::show_widgets() {
  auto* box = new QWidget(status_);
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(new QLabel(what_ + QString::fromUtf8("\u2026"), box));
  progress_ = new QProgressBar(box);
  progress_->setRange(0, 1000);
  progress_->setTextVisible(false);
  progress_->setMaximumHeight(14);
  progress_->setMinimumWidth(120);
  row->addWidget(progress_, 1);
  cancel_ = new QPushButton("Cancel", box);
  cancel_->setAutoDefault(false);
  connect(cancel_, &QPushButton::clicked, this, [this] { cancelled_ = true; });
  row->addWidget(cancel_);
  box_ = box;
  status_->clearMessage();
  status_->addWidget(box, 1);
  box->show();
  qApp->installEventFilter(this);
}

bool ProgressBar::advance(double fraction) {
  if (cancelled_) return false;
  const qint64 now = clock_.elapsed();
  if (!status_ || now < delay_ms_) return true;
  if (last_events_ >= 0 && now - last_events_ < kEventsEveryMs) return true;
  if (!box_) show_widgets();
  const double f = std::isfinite(fraction) ? std::clamp(fraction, 0.0, 1.0) : 0.0;
  progress_->setValue(static_cast<int>(std::lround(f * 1000)));
  QCoreApplication::processEvents(QEventLoop::AllEvents, kEventsEveryMs);
  last_events_ = clock_.elapsed();
  return !cancelled_;
}

bool ProgressBar::for_the_bar(QObject* watched) const {
  for (QObject* o = watched; o; o = o->parent())
    if (o == box_) return true;
  return false;
}

bool ProgressBar::eventFilter(QObject* watched, QEvent* e) {
  // A QWindow hands input on to its widgets; the widgets decide.
  if (!watched->isWidgetType()) return QObject::eventFilter(watched, e);
  if (e->type() == QEvent::Close) {
    e->ignore();
    return true;
  }
  if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
    cancelled_ = true;
    return true;
  }
  if (is_user_input(e->type()) && !for_the_bar(watched)) return true;
  return QObject::eventFilter(watched, e);
}

}  // namespace qiv::qt
