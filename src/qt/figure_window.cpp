#include "qt/figure_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTextDocument>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "core/controls.h"
#include "pointing/plot_map.h"
#include "qt/menus.h"
#include "qt/window_manager.h"

namespace qiv::qt {
namespace {

std::optional<QColor> color_prop(const Graphics& g, Handle h, const char* name) {
  if (!g.has_property(h, name)) return std::nullopt;
  Value v = g.get(h, name);
  std::optional<Rgb> c;
  if (v.is_matrix()) c = color_from_matrix(v.matrix());
  if (v.is_string()) c = parse_color(v.str());
  if (!c || c->none) return std::nullopt;
  return to_qcolor(*c);
}

// Sets a position given in pixels, whatever units the object uses.
void set_pixel_position(Graphics& g, Handle h, const std::array<double, 4>& px) {
  const Value units = g.get(h, "Units");
  const bool pixels = units.is_string() && to_lower(units.str()) == "pixels";
  if (!pixels) g.set(h, "Units", Value("pixels"));
  g.set(h, "Position", row({px[0], px[1], px[2], px[3]}));
  if (!pixels) g.set(h, "Units", units);
}

// Pixels on the screen from model units. Positions a script or layout set to absurd numbers
// (1e9, NaN) are kept within what a screen and Qt can take instead of overflowing an int.
int px(double v) {
  constexpr double kLimit = 100000;
  if (!(v == v)) return 0;
  return static_cast<int>(std::lround(std::clamp(v, -kLimit, kLimit)));
}

// The largest window side, the same bound as for pictures of it.
constexpr int kMaxWindowPixels = 16384;

const QColor kDefaultControlBackground = QColor::fromRgbF(0.94f, 0.94f, 0.94f);

bool same_color(const QColor& a, const QColor& b) {
  return std::abs(a.red() - b.red()) <= 1 && std::abs(a.green() - b.green()) <= 1 &&
         std::abs(a.blue() - b.blue()) <= 1;
}

// A control's own colours are those of the enabled control; the style keeps its disabled
// look (set_disabled_text).
void set_enabled_color(QPalette& pal, QPalette::ColorRole role, const QColor& c) {
  pal.setColor(QPalette::Active, role, c);
  pal.setColor(QPalette::Inactive, role, c);
}

// Disabled, a control's text fades halfway into what is behind it, whatever its colours, so
// that Enable "off" shows.
void set_disabled_text(QPalette& pal) {
  constexpr std::pair<QPalette::ColorRole, QPalette::ColorRole> kTextOn[] = {
      {QPalette::WindowText, QPalette::Window},
      {QPalette::Text, QPalette::Base},
      {QPalette::ButtonText, QPalette::Button}};
  for (const auto& [text, behind] : kTextOn) {
    const QColor a = pal.color(QPalette::Active, text);
    const QColor b = pal.color(QPalette::Disabled, behind);
    pal.setColor(
        QPalette::Disabled, text,
        QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2));
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------

FigureCanvas::FigureCanvas(const Graphics& gfx, Handle fig, QWidget* parent)
    : QWidget(parent), gfx_(gfx), fig_(fig) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void FigureCanvas::invalidate() {
  valid_ = false;
  update();
}

const QImage& FigureCanvas::picture() {
  const qreal dpr = devicePixelRatioF();
  const QSize device = (QSizeF(size()) * dpr).toSize();
  if (valid_ && cache_.size() == device) return cache_;
  ++renders_;
  cache_ = QImage(device.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
  cache_.setDotsPerMeterX(3780);  // 96 dpi: fonts are sized in points
  cache_.setDotsPerMeterY(3780);
  cache_.setDevicePixelRatio(dpr);
  cache_.fill(palette().color(QPalette::Window));
  if (gfx_.ishandle(fig_)) {
    QPainter p(&cache_);
    const QSizeF fs = figure_size(gfx_, fig_);
    p.scale(width() / fs.width(), height() / fs.height());
    PaintOptions opt{&sprites_, true};
    if (const auto view = view_source_ ? view_source_() : std::nullopt) {
      opt.view_axes = view->first;
      opt.view = view->second;
    }
    paint_figure(p, gfx_, fig_, opt);
  }
  valid_ = true;
  return cache_;
}

void FigureCanvas::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(QPointF(0, 0), picture());
}

// ---------------------------------------------------------------------------------------

FigureWindow::FigureWindow(WindowManager& wm, Handle fig)
    : QWidget(nullptr), wm_(wm), gfx_(wm.gfx()), fig_(fig) {
  setAttribute(Qt::WA_DeleteOnClose, false);
  canvas_ = new FigureCanvas(gfx_, fig_, this);
  controls_area_ = new ControlArea(canvas_);
  status_ = new QStatusBar(this);
  status_->setSizeGripEnabled(false);
}

FigureWindow::~FigureWindow() {
  // The helpers that watch this window's widgets (the plot's mouse, the menus) go first:
  // QWidget's destructor sends the widgets events while it takes them down, and by then this
  // object is no longer a FigureWindow that a helper may ask for its canvas.
  const QObjectList kids = children();
  for (QObject* o : kids)
    if (!o->isWidgetType()) delete o;
}

QRect FigureWindow::client_rect_from_model() const {
  const auto p = gfx_.pixel_position(fig_);
  const auto screen = gfx_.pixel_position(kScreen);
  const int w = std::clamp(px(p[2]), 1, kMaxWindowPixels);
  const int h = std::clamp(px(p[3]), 1, kMaxWindowPixels);
  return QRect(px(p[0]), px(screen[3] - p[1] - p[3]), w, h + menu_height() + status_height());
}

void FigureWindow::sync_properties() {
  if (detached_ || !gfx_.ishandle(fig_)) return;
  ++applying_;
  const std::string name = string_prop(gfx_, fig_, "Name");
  QString title = QString::fromStdString(name);
  if (string_prop(gfx_, fig_, "NumberTitle", "on") == "on") {
    title = QString("Figure %1").arg(fig_) + (name.empty() ? QString() : ": " + title);
  }
  if (is_main_window(gfx_, fig_)) title = title_with_file(title, wm_.app().state.datafile);
  if (windowTitle() != title) setWindowTitle(title);

  if (auto c = color_prop(gfx_, fig_, "Color")) {
    QPalette pal = palette();
    if (pal.color(QPalette::Window) != *c) {
      pal.setColor(QPalette::Window, *c);
      setPalette(pal);
      canvas_->invalidate();
    }
  }

  const bool visible = string_prop(gfx_, fig_, "Visible", "on") == "on";
  QRect r = client_rect_from_model();
  if (!sized_) {
    // The window may shrink to kSmallestShare of its layout's size, the controls scrolling
    // and the plot giving up the pixels; one that may not resize never grows past it.
    const auto now = gfx_.pixel_position(fig_);
    const QSize layout = layout_size_.isEmpty() ? QSize(px(now[2]), px(now[3])) : layout_size_;
    const QSize bars(0, r.height() - px(now[3]));  // the menu and status bars keep their height
    const QSize window = layout + bars;
    setMinimumSize(smallest_window_size(layout) + bars);
    const bool fixed = string_prop(gfx_, fig_, "Resize", "on") == "off";
    setMaximumSize(fixed ? window : QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    if (visible) {
      // A figure placed smaller than its layout (on a small screen) is shown as if the user
      // had shrunk it; then it is fitted to the screen's free area.
      anchors_.capture(gfx_, fig_, QSizeF(layout));
      if (now[3] < layout.height()) keep_controls_at_top(now[3] - layout.height());
      anchors_.apply(gfx_, fig_);
      if (const QRect placed = beside_main_window(r); placed != r) {
        store_geometry(placed);
        r = client_rect_from_model();
      }
      const QRect fitted = fit_into(r, minimumSize(), available_screen());
      if (fitted != r) {
        store_geometry(fitted);
        r = client_rect_from_model();
      }
    }
  }
  if (geometry() != r) setGeometry(r);
  place_children(r.size());

  if (visible != isVisible()) setVisible(visible);
  sized_ = sized_ || visible;
  --applying_;
}

void FigureWindow::sync_controls() {
  if (detached_ || !gfx_.ishandle(fig_)) return;
  std::set<Handle> seen;
  for (Handle c : gfx_.children(fig_)) {
    if (gfx_.type(c) != ObjType::kUicontrol) continue;
    seen.insert(c);
    update_control(c, controls_[c]);
  }
  for (auto it = controls_.begin(); it != controls_.end();) {
    if (seen.count(it->first)) {
      ++it;
      continue;
    }
    if (it->second.widget) {
      it->second.widget->hide();
      it->second.widget->deleteLater();
    }
    it = controls_.erase(it);
  }
  controls_area_->fit();
}

void FigureWindow::remove_control(Handle h) {
  auto it = controls_.find(h);
  if (it == controls_.end()) return;
  if (it->second.widget) {
    it->second.widget->hide();
    it->second.widget->deleteLater();
  }
  controls_.erase(it);
}

QWidget* FigureWindow::control_widget(Handle h) const {
  auto it = controls_.find(h);
  return it == controls_.end() ? nullptr : it->second.widget;
}

void FigureWindow::show_status(const QString& text) { status_->showMessage(text); }

void FigureWindow::layout_loaded() {
  if (sized_ || detached_ || !gfx_.ishandle(fig_)) return;
  const auto p = gfx_.pixel_position(fig_);
  layout_size_ = QSize(px(p[2]), px(p[3]));
}

void FigureWindow::set_menu_bar(QMenuBar* bar) {
  menu_bar_ = bar;
  bar->setParent(this);
  bar->show();
}

int FigureWindow::menu_height() const { return menu_bar_ ? menu_bar_->sizeHint().height() : 0; }

// Tall enough for the row that long work shows there (a label, a bar and a Cancel button),
// so that the row is never cut off at the window's bottom edge.
int FigureWindow::status_height() const {
  static const int button = QPushButton("Cancel").sizeHint().height();
  return std::max(status_->sizeHint().height(), button);
}

// The menu bar on top, the status bar at the bottom, the plot's canvas (and the controls
// over it) between them, in a window of this size.
void FigureWindow::place_children(const QSize& size) {
  const int sb = status_height();
  const int mb = menu_height();
  const QRect canvas(0, mb, size.width(), std::max(1, size.height() - sb - mb));
  if (canvas_->geometry() != canvas) canvas_->setGeometry(canvas);
  status_->setGeometry(0, size.height() - sb, size.width(), sb);
  controls_area_->fit();
  if (menu_bar_) menu_bar_->setGeometry(0, 0, size.width(), mb);
}

QWidget* FigureWindow::make_widget(Handle h, const ControlAdapter& adapter) {
  QWidget* w = adapter.make(*this, h, canvas_);
  w->setParent(controls_area_->layer());
  // Frames and panels are drawn under the controls they enclose.
  if (adapter.underneath) w->lower();
  w->setProperty("qiv_handle", static_cast<qlonglong>(h));
  return w;
}

void FigureWindow::update_control(Handle h, Control& c) {
  const std::string style = to_lower(string_prop(gfx_, h, "Style", "pushbutton"));
  const bool multiline = number_prop(gfx_, h, "Max", 1) - number_prop(gfx_, h, "Min", 0) > 1;
  const ControlAdapter& adapter = control_adapter(style, multiline);
  ++applying_;
  if (!c.widget || c.style != style || c.multiline != multiline) {
    if (c.widget) {
      c.widget->hide();
      c.widget->deleteLater();
    }
    c = Control{style, multiline, make_widget(h, adapter), false};
  }
  QWidget* w = c.widget;

  const auto p = gfx_.pixel_position(h);
  const double fig_h = figure_size(gfx_, fig_).height();
  const QRect r(px(p[0]), px(fig_h - p[1] - p[3]), std::max(1, px(p[2])), std::max(1, px(p[3])));
  if (w->geometry() != r) w->setGeometry(r);
  w->setEnabled(string_prop(gfx_, h, "Enable", "on") == "on");
  const QString tip = QString::fromStdString(string_prop(gfx_, h, "TooltipString"));
  if (w->toolTip() != tip) w->setToolTip(tip);

  QFont font = w->font();
  font.setPointSizeF(std::max(1.0, number_prop(gfx_, h, "FontSize", 9)));
  font.setBold(to_lower(string_prop(gfx_, h, "FontWeight", "normal")) == "bold");
  font.setItalic(to_lower(string_prop(gfx_, h, "FontAngle", "normal")) == "italic");
  if (const std::string family = string_prop(gfx_, h, "FontName"); !family.empty()) {
    font.setFamily(QString::fromStdString(family));
    if (to_lower(family) == "monospace") font.setStyleHint(QFont::TypeWriter);
  }
  if (w->font() != font) w->setFont(font);

  QPalette pal = w->palette();
  if (auto fg = color_prop(gfx_, h, "ForegroundColor")) {
    set_enabled_color(pal, QPalette::WindowText, *fg);
    set_enabled_color(pal, QPalette::Text, *fg);
    set_enabled_color(pal, QPalette::ButtonText, *fg);
  }
  auto bg = color_prop(gfx_, h, "BackgroundColor");
  if (bg && adapter.base_color && !same_color(*bg, kDefaultControlBackground))
    set_enabled_color(pal, QPalette::Base, *bg);
  const auto fig_color = color_prop(gfx_, fig_, "Color");
  const bool fill_label =
      adapter.fills_background && bg && fig_color && !same_color(*bg, *fig_color);
  if (fill_label) set_enabled_color(pal, QPalette::Window, *bg);
  set_disabled_text(pal);
  if (w->palette() != pal) w->setPalette(pal);
  w->setAutoFillBackground(fill_label);

  const Value str = gfx_.has_property(h, "String") ? gfx_.get(h, "String") : Value("");
  adapter.show(w, gfx_, h,
               ControlValue{str, number_prop(gfx_, h, "Value", 0), number_prop(gfx_, h, "Max", 1)});
  const bool visible = string_prop(gfx_, h, "Visible", "on") == "on";
  if (w->isVisibleTo(canvas_) != visible) w->setVisible(visible);
  --applying_;
}

void FigureWindow::commit_edit(Handle h, Control& c) {
  if (applying_ > 0 || detached_ || !gfx_.ishandle(h)) return;
  c.edited = true;
  const ControlAdapter& adapter = control_adapter(c.style, c.multiline);
  if (adapter.read) gfx_.set(h, "String", adapter.read(c.widget));
}

void FigureWindow::edit_changed(Handle h) {
  auto it = controls_.find(h);
  if (it != controls_.end()) commit_edit(h, it->second);
}

bool FigureWindow::forget_edit(Handle h) {
  auto it = controls_.find(h);
  if (it == controls_.end()) return false;
  it->second.edited = false;
  return true;
}

void FigureWindow::run_callback(Handle h) { wm_.run_callback(h); }

void FigureWindow::edit_finished(Handle h) {
  auto it = controls_.find(h);
  if (it == controls_.end() || !it->second.edited) return;
  it->second.edited = false;
  wm_.run_callback(h);
}

namespace {

// Whether a box takes Ctrl+Z (or Redo's keys) itself: only while it holds typing of its own to
// take back (or bring back). Otherwise the keys reach the program's Undo and Redo, which a box
// with the focus would take and do nothing with.
bool box_takes_undo_keys(QObject* box, const QKeyEvent& k) {
  const bool undo = k.matches(QKeySequence::Undo);
  const bool redo = k.matches(QKeySequence::Redo) ||
                    QKeySequence(k.keyCombination()) == QKeySequence(Qt::CTRL | Qt::Key_Y);
  if (!undo && !redo) return true;
  if (auto* line = qobject_cast<QLineEdit*>(box))
    return undo ? line->isUndoAvailable() : line->isRedoAvailable();
  if (auto* text = qobject_cast<QPlainTextEdit*>(box))
    return undo ? text->document()->isUndoAvailable() : text->document()->isRedoAvailable();
  return true;
}

}  // namespace

bool FigureWindow::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::ShortcutOverride &&
      !box_takes_undo_keys(watched, *static_cast<QKeyEvent*>(e))) {
    e->ignore();  // not taken by the box: the key's shortcut runs
    return true;
  }
  if (e->type() == QEvent::FocusOut && !detached_) {
    const QVariant h = watched->property("qiv_handle");
    if (h.isValid()) edit_finished(static_cast<Handle>(h.toLongLong()));
  }
  return QWidget::eventFilter(watched, e);
}

QRect FigureWindow::available_screen() const {
  // The model places windows on the screen it was told about; fit them to that screen's
  // free area when it is the one Qt shows them on.
  const auto s = gfx_.pixel_position(kScreen);
  const QRect model(0, 0, px(s[2]), px(s[3]));
  const QScreen* screen = QGuiApplication::screenAt(model.center());
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen != nullptr && screen->geometry() == model) {
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    return screen->availableGeometry().marginsRemoved(frame);
  }
  return model;
}

QRect FigureWindow::plot_on_screen() const {
  const QRect canvas(canvas_->mapToGlobal(QPoint(0, 0)), canvas_->size());
  const Handle axes = main_axes(gfx_, fig_);
  if (axes == kNoHandle) return canvas;
  const auto p = gfx_.pixel_position(axes);
  const QSizeF fs = figure_size(gfx_, fig_);
  const double sx = canvas.width() / fs.width();
  const double sy = canvas.height() / fs.height();
  return QRect(canvas.left() + px(p[0] * sx), canvas.top() + px((fs.height() - p[1] - p[3]) * sy),
               px(p[2] * sx), px(p[3] * sy));
}

QRect FigureWindow::beside_main_window(const QRect& r) const {
  const FigureWindow* main = wm_.main_window();
  if (main == nullptr || main == this || !main->isVisible()) return r;
  // This window has no frame yet: it will get one like the main window's.
  const QRect outer = main->frameGeometry();
  const QRect inner = main->geometry();
  const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                       outer.right() - inner.right(), outer.bottom() - inner.bottom());
  // Not shown yet, this window's frame takes nothing from the screen's free area.
  const QRect placed = qt::beside_main_window(r.marginsAdded(frame).size(), outer,
                                              main->plot_on_screen(), available_screen());
  return QRect(placed.topLeft() + QPoint(frame.left(), frame.top()), r.size());
}

void FigureWindow::user_geometry_changed() {
  if (applying_ > 0 || detached_ || !isVisible() || !gfx_.ishandle(fig_)) return;
  store_geometry(geometry());
}

void FigureWindow::store_geometry(const QRect& g) {
  const int sb = status_height();
  const double w = std::max(1, g.width());
  const double h = std::max(1, g.height() - sb - menu_height());
  const double screen_h = gfx_.pixel_position(kScreen)[3];
  const std::array<double, 4> now{static_cast<double>(g.x()), screen_h - g.y() - h, w, h};
  const auto old = gfx_.pixel_position(fig_);
  bool same = true;
  for (int i = 0; i < 4; ++i)
    same =
        same && std::abs(old[static_cast<std::size_t>(i)] - now[static_cast<std::size_t>(i)]) < 0.5;
  if (same) return;
  const double dh = h - old[3];
  set_pixel_position(gfx_, fig_, now);
  anchors_.apply(gfx_, fig_);
  if (std::abs(dh) >= 0.5) keep_controls_at_top(dh);
}

void FigureWindow::keep_controls_at_top(double dh) {
  for (Handle c : gfx_.children(fig_)) {
    if (gfx_.type(c) != ObjType::kUicontrol) continue;
    if (to_lower(string_prop(gfx_, c, "Units", "pixels")) == "normalized") continue;
    auto p = gfx_.pixel_position(c);
    p[1] += dh;
    set_pixel_position(gfx_, c, p);
  }
}

void FigureWindow::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  place_children(size());
  user_geometry_changed();
}

void FigureWindow::moveEvent(QMoveEvent* e) {
  QWidget::moveEvent(e);
  user_geometry_changed();
}

void FigureWindow::closeEvent(QCloseEvent* e) {
  if (!detached_ && gfx_.ishandle(fig_) && is_main_window(gfx_, fig_) && !wm_.may_close_main()) {
    e->ignore();
    return;
  }
  e->accept();
  if (!detached_) wm_.window_closed(fig_);
}

}  // namespace qiv::qt
