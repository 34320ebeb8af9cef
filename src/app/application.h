#pragma once
// One running program: the shared state, the object model and the table of callable
// functions, wired to a Ui. Tests, scripts and the windows all drive it the same way.
#include <string>

#include "core/context.h"
#include "core/shared_state.h"
#include "platform/graphics/graphics.h"
#include "platform/runtime.h"
#include "platform/ui.h"

namespace qiv {

class Application {
 public:
  explicit Application(Ui& ui);
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // A call by name through the main function, as a control's callback makes it.
  Outputs call(const std::string& name, const Args& in = {}, int nout = 0);
  // One action of the dispatcher, through the main function.
  void action(const std::string& name);
  // Start-up: opens the main window.
  Handle start();

  SharedState state;
  Graphics gfx;
  Runtime rt;
  Context ctx;
};

// Registers every function callable by name, with its declared counts.
void register_callables(Runtime& rt, Context& ctx);

}  // namespace qiv
