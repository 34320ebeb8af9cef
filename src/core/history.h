#pragma once
// One history of the steps the user can undo and redo, for the whole program.
//
// A step is one action that changed the shared state or the texts of the controls: what it
// changed, before and after. States are kept whole; their data sets are shared (Shared<T>),
// not copied, so a protocol edit costs the history its protocol and the few texts it wrote.
// Undo puts back, of the members and controls the step changed, the values from before it;
// Redo those from after it. Neither touches a file.
#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "core/shared_state.h"
#include "platform/graphics/graphics.h"

namespace qiv {

// What an action may change: the shared state, and each control's String, Value and Enable.
struct StateCapture {
  struct Control {
    Handle h;
    Value string, value, enable;
    bool operator==(const Control&) const = default;
  };
  SharedState state;
  std::vector<Control> controls;
};
StateCapture capture_state(const SharedState& state, const Graphics& gfx);
// Every control's String, Value and Enable, window by window.
std::vector<StateCapture::Control> capture_controls(const Graphics& gfx);
// Sets them back; a control whose window has closed since is passed over.
void put_controls(Graphics& gfx, const std::vector<StateCapture::Control>& controls);

// Which kinds of member a step changed, for the redraw after undo and redo.
struct Changed {
  bool data = false;      // data, reference, names, datafile
  bool protocol = false;  // proto, protoname
  bool blocks = false;    // the block structure
  bool any() const { return data || protocol || blocks; }
};

class History {
 public:
  // The most steps kept; the oldest goes first.
  static constexpr std::size_t kMaxSteps = 200;

  // Records a step named `what` ("Delete line 4") when before and after differ; drops the
  // steps that could be redone. Returns whether it recorded one.
  bool record(std::string what, const StateCapture& before, const StateCapture& after);

  bool can_undo() const { return done_ > 0; }
  bool can_redo() const { return done_ < steps_.size(); }
  // The name of the step Undo (Redo) would take back (do again); empty when there is none.
  std::string undo_name() const;
  std::string redo_name() const;

  // Puts back the state and controls from before the last step done (from after the next
  // step undone); returns what changed. Only when can_undo() (can_redo()).
  Changed undo(SharedState& state, Graphics& gfx);
  Changed redo(SharedState& state, Graphics& gfx);

  void clear();
  std::size_t size() const { return steps_.size(); }

 private:
  // The members a step changed, and the controls, each with its value before and after.
  struct Step {
    std::string what;
    SharedState before, after;  // the whole states; only the changed members are put back
    std::vector<StateCapture::Control> controls_before, controls_after;
  };
  std::deque<Step> steps_;
  std::size_t done_ = 0;  // steps_[0, done_) are done, the rest undone
};

}  // namespace qiv
