#include "app/application.h"

#include "app/qiv_proto.h"

namespace qiv {

Application::Application(Ui& ui) : ctx{state, gfx, ui, rt} { register_callables(rt, ctx); }

Outputs Application::call(const std::string& name, const Args& in, int nout) {
  Args all;
  all.reserve(in.size() + 1);
  all.emplace_back(name);
  all.insert(all.end(), in.begin(), in.end());
  return Qiv_proto(ctx, all, nout);
}

void Application::action(const std::string& name) { call("qivprotosw", {Value(name)}); }

Handle Application::start() {
  Outputs out = Qiv_proto(ctx, {}, 1);
  return out.empty() ? kNoHandle : static_cast<Handle>(out[0].scalar_value());
}

}  // namespace qiv
