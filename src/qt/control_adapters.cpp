#include "qt/control_adapters.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <algorithm>
#include <cmath>

#include "core/controls.h"
#include "guikit/return_button.h"
#include "qt/figure_painter.h"

namespace qiv::qt {

std::string to_lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

namespace {

// The items of a listbox or popup menu: a list of texts, or one text with "|" between items.
QStringList items_of(const Value& v) {
  QStringList out;
  if (v.is_list()) {
    for (const Value& e : v.list()) out << QString::fromStdString(value_text(e));
  } else {
    const QString s = QString::fromStdString(value_text(v));
    if (!s.isEmpty()) out = s.split('|');
  }
  return out;
}

QStringList lines_of(const Value& v) {
  QStringList out;
  if (v.is_list()) {
    for (const Value& e : v.list()) out << QString::fromStdString(value_text(e));
    return out;
  }
  return QString::fromStdString(value_text(v)).split('\n');
}

// The control takes its Max when checked, its Min when not.
void set_checked_value(Graphics& g, Handle h, bool checked) {
  g.set(h, "Value", Value(number_prop(g, h, checked ? "Max" : "Min", checked ? 1 : 0)));
}

QWidget* make_button(ControlHost& host, Handle h, QWidget* parent, bool toggle) {
  auto* b = new QPushButton(parent);
  b->setCheckable(toggle);
  QObject::connect(b, &QPushButton::clicked, host.receiver(), [&host, h, b](bool checked) {
    if (b->isCheckable()) set_checked_value(host.graphics(), h, checked);
    host.run_callback(h);
  });
  return b;
}

QWidget* make_pushbutton(ControlHost& host, Handle h, QWidget* parent) {
  return make_button(host, h, parent, false);
}

QWidget* make_togglebutton(ControlHost& host, Handle h, QWidget* parent) {
  return make_button(host, h, parent, true);
}

void show_button(QWidget* w, const Graphics&, Handle, const ControlValue& v) {
  auto* b = static_cast<QPushButton*>(w);
  const QString t = lines_of(v.string).join(' ');
  if (b->text() != t) b->setText(t);
  if (b->isCheckable()) b->setChecked(v.value == v.max);
}

QWidget* make_text_edit(ControlHost& host, Handle h, QWidget* parent) {
  auto* e = new QPlainTextEdit(parent);
  e->setTabChangesFocus(true);
  QObject::connect(e, &QPlainTextEdit::textChanged, host.receiver(),
                   [&host, h] { host.edit_changed(h); });
  e->installEventFilter(host.receiver());
  return e;
}

void show_text_edit(QWidget* w, const Graphics&, Handle, const ControlValue& v) {
  auto* e = static_cast<QPlainTextEdit*>(w);
  const QString t = lines_of(v.string).join('\n');
  if (e->toPlainText() != t) e->setPlainText(t);
}

Value read_text_edit(const QWidget* w) {
  List lines;
  for (const QString& s : static_cast<const QPlainTextEdit*>(w)->toPlainText().split('\n'))
    lines.emplace_back(s.toStdString());
  return Value(std::move(lines));
}

QWidget* make_line_edit(ControlHost& host, Handle h, QWidget* parent) {
  auto* e = new QLineEdit(parent);
  QObject::connect(e, &QLineEdit::textChanged, host.receiver(),
                   [&host, h] { host.edit_changed(h); });
  QObject::connect(e, &QLineEdit::returnPressed, host.receiver(), [&host, h] {
    if (!host.forget_edit(h)) return;
    host.run_callback(h);
    // Then the box's natural button, as a click on it (nothing when it is disabled).
    const Handle b = return_button(host.graphics(), h);
    if (b != kNoHandle && string_prop(host.graphics(), b, "Enable", "on") == "on")
      host.run_callback(b);
  });
  e->installEventFilter(host.receiver());
  return e;
}

void show_line_edit(QWidget* w, const Graphics&, Handle, const ControlValue& v) {
  auto* e = static_cast<QLineEdit*>(w);
  const QString t = QString::fromStdString(value_text(v.string));
  if (e->text() != t) e->setText(t);
}

Value read_line_edit(const QWidget* w) {
  return Value(static_cast<const QLineEdit*>(w)->text().toStdString());
}

QWidget* connect_check(ControlHost& host, Handle h, QAbstractButton* b) {
  QObject::connect(b, &QAbstractButton::clicked, host.receiver(), [&host, h](bool checked) {
    set_checked_value(host.graphics(), h, checked);
    host.run_callback(h);
  });
  return b;
}

QWidget* make_checkbox(ControlHost& host, Handle h, QWidget* parent) {
  return connect_check(host, h, new QCheckBox(parent));
}

QWidget* make_radiobutton(ControlHost& host, Handle h, QWidget* parent) {
  auto* b = new QRadioButton(parent);
  b->setAutoExclusive(false);
  return connect_check(host, h, b);
}

void show_check(QWidget* w, const Graphics&, Handle, const ControlValue& v) {
  auto* b = static_cast<QAbstractButton*>(w);
  const QString t = lines_of(v.string).join(' ');
  if (b->text() != t) b->setText(t);
  b->setChecked(v.value == v.max);
}

QWidget* make_listbox(ControlHost& host, Handle h, QWidget* parent) {
  auto* l = new QListWidget(parent);
  QObject::connect(l, &QListWidget::currentRowChanged, host.receiver(), [&host, h](int row) {
    if (host.applying() || row < 0) return;
    host.graphics().set(h, "Value", Value(row + 1));
    host.run_callback(h);
  });
  return l;
}

void show_listbox(QWidget* w, const Graphics&, Handle, const ControlValue& v) {
  auto* l = static_cast<QListWidget*>(w);
  const QStringList items = items_of(v.string);
  QStringList now;
  for (int i = 0; i < l->count(); ++i) now << l->item(i)->text();
  if (now != items) {
    l->clear();
    l->addItems(items);
  }
  const int row = static_cast<int>(v.value) - 1;
  if (l->currentRow() != row) l->setCurrentRow(row >= 0 && row < l->count() ? row : -1);
}

QWidget* make_popupmenu(ControlHost& host, Handle h, QWidget* parent) {
  auto* c = new QComboBox(parent);
  QObject::connect(c, &QComboBox::activated, host.receiver(), [&host, h](int index) {
    host.graphics().set(h, "Value", Value(index + 1));
    host.run_callback(h);
  });
  return c;
}

void show_popupmenu(QWidget* w, const Graphics&, Handle, const ControlValue& v) {
  auto* cb = static_cast<QComboBox*>(w);
  const QStringList items = items_of(v.string);
  QStringList now;
  for (int i = 0; i < cb->count(); ++i) now << cb->itemText(i);
  if (now != items) {
    cb->clear();
    cb->addItems(items);
  }
  const int index = static_cast<int>(v.value) - 1;
  if (cb->currentIndex() != index && index >= 0 && index < cb->count()) cb->setCurrentIndex(index);
}

QWidget* make_slider(ControlHost& host, Handle h, QWidget* parent) {
  auto* s = new QSlider(Qt::Horizontal, parent);
  s->setRange(0, 1000);
  QObject::connect(s, &QSlider::sliderReleased, host.receiver(), [&host, h, s] {
    Graphics& g = host.graphics();
    const double lo = number_prop(g, h, "Min", 0), hi = number_prop(g, h, "Max", 1);
    g.set(h, "Value", Value(lo + (hi - lo) * s->value() / 1000.0));
    host.run_callback(h);
  });
  return s;
}

void show_slider(QWidget* w, const Graphics& g, Handle h, const ControlValue& v) {
  auto* s = static_cast<QSlider*>(w);
  const double lo = number_prop(g, h, "Min", 0);
  const double span = v.max - lo;
  s->setValue(span > 0 ? static_cast<int>(std::lround((v.value - lo) / span * 1000)) : 0);
}

QWidget* make_frame(ControlHost&, Handle, QWidget* parent) {
  auto* f = new QFrame(parent);
  f->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  return f;
}

void show_nothing(QWidget*, const Graphics&, Handle, const ControlValue&) {}

QWidget* make_panel(ControlHost&, Handle, QWidget* parent) { return new QGroupBox(parent); }

void show_panel(QWidget* w, const Graphics&, Handle, const ControlValue& v) {
  auto* g = static_cast<QGroupBox*>(w);
  const QString t = QString::fromStdString(value_text(v.string));
  if (g->title() != t) g->setTitle(t);
}

QWidget* make_text(ControlHost&, Handle, QWidget* parent) {
  auto* l = new QLabel(parent);
  l->setTextFormat(Qt::PlainText);
  return l;
}

void show_text(QWidget* w, const Graphics& g, Handle h, const ControlValue& v) {
  auto* l = static_cast<QLabel*>(w);
  const QStringList lines = lines_of(v.string);
  const QString t = lines.join('\n');
  if (l->text() != t) l->setText(t);
  const std::string a = to_lower(string_prop(g, h, "HorizontalAlignment", "center"));
  Qt::Alignment horizontal = a == "left"    ? Qt::AlignLeft
                             : a == "right" ? Qt::AlignRight
                                            : Qt::AlignHCenter;
  l->setAlignment(horizontal | (lines.size() > 1 ? Qt::AlignTop : Qt::AlignVCenter));
}

// The adapters by Style; the first row that fits is taken.
struct AdapterRow {
  const char* style;
  bool multiline_only;  // the row is for controls of more than one line only
  ControlAdapter adapter;
};

const AdapterRow kAdapters[] = {
    {"pushbutton", false, {.make = make_pushbutton, .show = show_button}},
    {"togglebutton", false, {.make = make_togglebutton, .show = show_button}},
    {"edit",
     true,
     {.make = make_text_edit, .show = show_text_edit, .read = read_text_edit, .base_color = true}},
    {"edit",
     false,
     {.make = make_line_edit, .show = show_line_edit, .read = read_line_edit, .base_color = true}},
    {"checkbox", false, {.make = make_checkbox, .show = show_check}},
    {"radiobutton", false, {.make = make_radiobutton, .show = show_check}},
    {"listbox", false, {.make = make_listbox, .show = show_listbox, .base_color = true}},
    {"popupmenu", false, {.make = make_popupmenu, .show = show_popupmenu}},
    {"slider", false, {.make = make_slider, .show = show_slider}},
    {"frame", false, {.make = make_frame, .show = show_nothing, .underneath = true}},
    {"panel", false, {.make = make_panel, .show = show_panel, .underneath = true}},
    {"text", false, {.make = make_text, .show = show_text, .fills_background = true}},
};

// Any other style: a text that is never filled.
const ControlAdapter kPlainText{.make = make_text, .show = show_text};

}  // namespace

const ControlAdapter& control_adapter(const std::string& style, bool multiline) {
  for (const AdapterRow& r : kAdapters)
    if (style == r.style && (multiline || !r.multiline_only)) return r.adapter;
  return kPlainText;
}

}  // namespace qiv::qt
