#include "core/history.h"

#include <utility>

namespace qiv {
namespace {

// What differs between two states, member by member; data sets by identity (an action
// that replaces them makes new ones), the rest by value.
Changed compare(const SharedState& a, const SharedState& b) {
  Changed c;
  c.data = !a.data.same_as(b.data) || !a.reference.same_as(b.reference) ||
           !a.names.same_as(b.names) || !a.rdata.same_as(b.rdata) || a.datafile != b.datafile;
  c.protocol = a.proto != b.proto || a.protoname != b.protoname;
  c.blocks = a.blocks != b.blocks || a.blockfile != b.blockfile || !a.tmatrix.same_as(b.tmatrix);
  return c;
}

// Puts the members that differ between `from` and `to` into s as they are in `to`.
void put_back(SharedState& s, const SharedState& from, const SharedState& to) {
  if (!from.data.same_as(to.data)) s.data = to.data;
  if (!from.reference.same_as(to.reference)) s.reference = to.reference;
  if (!from.names.same_as(to.names)) s.names = to.names;
  if (!from.rdata.same_as(to.rdata)) s.rdata = to.rdata;
  if (from.datafile != to.datafile) s.datafile = to.datafile;
  if (from.proto != to.proto) s.proto = to.proto;
  if (from.protoname != to.protoname) s.protoname = to.protoname;
  if (from.blocks != to.blocks) s.blocks = to.blocks;
  if (from.blockfile != to.blockfile) s.blockfile = to.blockfile;
  if (!from.tmatrix.same_as(to.tmatrix)) s.tmatrix = to.tmatrix;
}

}  // namespace

std::vector<StateCapture::Control> capture_controls(const Graphics& gfx) {
  std::vector<StateCapture::Control> out;
  // Controls are children of their figure: the axes' thousands of lines are not visited.
  for (Handle fig : gfx.figures())
    for (Handle h : gfx.children(fig))
      if (gfx.type(h) == ObjType::kUicontrol)
        out.push_back({h, gfx.get(h, "String"), gfx.get(h, "Value"), gfx.get(h, "Enable")});
  return out;
}

void put_controls(Graphics& gfx, const std::vector<StateCapture::Control>& controls) {
  for (const StateCapture::Control& c : controls) {
    if (!gfx.ishandle(c.h)) continue;
    gfx.set(c.h, "String", c.string);
    gfx.set(c.h, "Value", c.value);
    gfx.set(c.h, "Enable", c.enable);
  }
}

StateCapture capture_state(const SharedState& state, const Graphics& gfx) {
  return {state, capture_controls(gfx)};
}

bool History::record(std::string what, const StateCapture& before, const StateCapture& after) {
  Step step{std::move(what), before.state, after.state, {}, {}};
  // The controls the action changed; a control of a window it opened or closed has no
  // partner and is left alone.
  for (const StateCapture::Control& b : before.controls) {
    for (const StateCapture::Control& a : after.controls) {
      if (a.h != b.h) continue;
      if (!(a == b)) {
        step.controls_before.push_back(b);
        step.controls_after.push_back(a);
      }
      break;
    }
  }
  if (!compare(before.state, after.state).any() && step.controls_before.empty()) return false;
  steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(done_), steps_.end());
  steps_.push_back(std::move(step));
  if (steps_.size() > kMaxSteps) steps_.pop_front();
  done_ = steps_.size();
  return true;
}

std::string History::undo_name() const { return can_undo() ? steps_[done_ - 1].what : ""; }

std::string History::redo_name() const { return can_redo() ? steps_[done_].what : ""; }

Changed History::undo(SharedState& state, Graphics& gfx) {
  const Step& step = steps_[--done_];
  put_back(state, step.after, step.before);
  put_controls(gfx, step.controls_before);
  return compare(step.before, step.after);
}

Changed History::redo(SharedState& state, Graphics& gfx) {
  const Step& step = steps_[done_++];
  put_back(state, step.before, step.after);
  put_controls(gfx, step.controls_after);
  return compare(step.before, step.after);
}

void History::clear() {
  steps_.clear();
  done_ = 0;
}

}  // namespace qiv
