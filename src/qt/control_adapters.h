#pragma once
// One adapter per uicontrol Style: the widget it is shown as, how the model's String and
// Value show on it, and what the user typed, chosen by control_adapter. FigureWindow sets
// what every style shares. A new style is one more row in the table (control_adapters.cpp).
#include <QWidget>
#include <string>

#include "platform/graphics/graphics.h"

namespace qiv::qt {

// A property's word in lower case, byte by byte in the C locale's sense, as the model's
// property words are matched.
std::string to_lower(std::string s);

// A uicontrol's String and the numbers of it every style may show.
struct ControlValue {
  const Value& string;
  double value;
  double max;
};

// What a control's widget asks of the window that shows it.
class ControlHost {
 public:
  virtual Graphics& graphics() = 0;
  // Receives the widgets' signals, and watches an edit box's focus: its callback runs when
  // the box loses the focus after its text changed.
  virtual QObject* receiver() = 0;
  // True while the window writes the model's values into its widgets.
  virtual bool applying() const = 0;
  // Runs the control's callback, as a click on it.
  virtual void run_callback(Handle control) = 0;
  // The text of an edit box changed: it goes into the model (FigureWindow::commit_edit).
  virtual void edit_changed(Handle control) = 0;
  // The callback of an edit box runs now (Return): not again when the box loses the focus.
  // False when the window no longer shows the control.
  virtual bool forget_edit(Handle control) = 0;

 protected:
  ~ControlHost() = default;
};

// One control style: how its widget is made, and how the model shows on it. The properties
// every style shares (place, font, colours, Enable, Visible) the window sets itself.
struct ControlAdapter {
  // The widget for control h, a child of parent, its signals connected to host.
  QWidget* (*make)(ControlHost& host, Handle h, QWidget* parent);
  // Shows the control's String and Value (and what else of its own the style shows).
  void (*show)(QWidget* w, const Graphics& g, Handle h, const ControlValue& v);
  // The String of what the user typed, for the styles one types into; null for the others.
  Value (*read)(const QWidget* w) = nullptr;
  bool base_color = false;        // BackgroundColor fills the text area (edit boxes, lists)
  bool fills_background = false;  // filled with BackgroundColor when not the figure's Color
  bool underneath = false;        // drawn under the controls it encloses (frames, panels)
};

// The adapter of a control of this Style (lower case); multiline when Max - Min > 1. A style
// of no other adapter shows as plain text.
const ControlAdapter& control_adapter(const std::string& style, bool multiline);

}  // namespace qiv::qt
