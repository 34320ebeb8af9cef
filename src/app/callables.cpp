// The table of functions callable by name, with the counts each declares. kAnyCount stands
// for a variable list.
#include <cmath>

#include "app/application.h"
#include "app/qiv_proto.h"
#include "app/qivprotosw.h"
#include "base/failure.h"
#include "data/data_callables.h"
#include "export/export_callables.h"
#include "geometry/basereg.h"
#include "geometry/centroid.h"
#include "geometry/consensus.h"
#include "guikit/axes_helpers.h"
#include "guikit/figure_files.h"
#include "guikit/gui_registry.h"
#include "guikit/identifiers.h"

namespace qiv {
namespace {

using Fn = Outputs (*)(Context&, const Args&, int);

Outputs call_qivprotosw(Context& ctx, const Args& in, int) {
  if (in.empty()) throw Failure("The input \"action\" of qivprotosw has no value.");
  // A value that is not a text equals no action name.
  qivprotosw(ctx, in[0].is_string() ? in[0].str() : std::string());
  return {};
}

Outputs call_guidata(Context& ctx, const Args& in, int nout) {
  if (in.empty()) fail_not_enough_inputs();
  if (in.size() == 2) {
    if (nout > 0) throw Failure("Too many output arguments.");
    guidata_set(ctx.gfx, in[0], in[1]);
    return {};
  }
  return {guidata_get(ctx.gfx, in[0])};
}

Outputs call_guihandles(Context& ctx, const Args& in, int) {
  return {guihandles(ctx.gfx, in.empty() ? std::nullopt : std::optional<Value>(in[0]))};
}

Outputs call_openfig(Context& ctx, const Args& in, int) {
  std::string name = string_arg(in, 0, "openfig");
  std::string policy = in.size() > 1 ? string_arg(in, 1, "openfig") : "new";
  return {Value(static_cast<double>(openfig(ctx, name, policy)))};
}

Outputs call_movegui(Context& ctx, const Args& in, int) {
  movegui(ctx, in);
  return {};
}

Outputs call_cla(Context& ctx, const Args&, int nout) {
  Handle ax = cla(ctx.gfx);
  if (nout > 0) return {Value(static_cast<double>(ax))};
  return {};
}

Outputs call_ylabel(Context& ctx, const Args& in, int nout) {
  std::string text = string_arg(in, 0, "ylabel");
  Handle h = ylabel(ctx.gfx, text, Args(in.begin() + 1, in.end()));
  if (nout > 0) return {Value(static_cast<double>(h))};
  return {};
}

Outputs call_isvarname(Context&, const Args& in, int) {
  if (in.empty()) fail_not_enough_inputs();
  return {Value(isvarname(in[0]) ? 1.0 : 0.0)};
}

Outputs call_iskeyword(Context&, const Args& in, int) {
  if (in.empty()) {
    List l;
    for (const auto& k : keywords()) l.emplace_back(k);
    return {Value(std::move(l))};
  }
  return {Value(in[0].is_string() && iskeyword(in[0].str()) ? 1.0 : 0.0)};
}

double whole_or_number(const Args& in, std::size_t i, const char* fn) {
  Matrix m = numeric_arg(in, i, fn);
  if (m.size() != 1)
    throw Failure(std::string(fn) + ": input " + std::to_string(i + 1) + " must be one number.");
  return m(0, 0);
}

Outputs call_basereg(Context&, const Args& in, int) {
  if (in.size() < 3) fail_not_enough_inputs();
  Matrix x = numeric_arg(in, 0, "basereg");
  return {basereg(x, whole_or_number(in, 1, "basereg"), whole_or_number(in, 2, "basereg"))};
}

Outputs call_centsize2(Context&, const Args& in, int) {
  return {Value(centsize2(numeric_arg(in, 0, "centsize2")))};
}

Outputs call_centpos(Context&, const Args& in, int) {
  return {centpos(numeric_arg(in, 0, "centpos"))};
}

Outputs call_centsize(Context&, const Args& in, int) {
  return {centsize(numeric_arg(in, 0, "centsize"))};
}

Outputs call_getconsensus(Context&, const Args& in, int nout) {
  Consensus c = getconsensus(numeric_arg(in, 0, "getconsensus"));
  Outputs out{Value(std::move(c.y))};
  if (nout >= 2) out.emplace_back(std::move(c.xpt));
  return out;
}

}  // namespace

void register_callables(Runtime& rt, Context& ctx) {
  auto add = [&rt, &ctx](const char* name, int in, int out, Fn f) {
    rt.add(name, in, out, [&ctx, f](const Args& a, int n) { return f(ctx, a, n); });
  };
  add("Qiv_proto", kAnyCount, kAnyCount, Qiv_proto);
  add("qivprotosw", 1, 0, call_qivprotosw);
  add("CopyBigImage", 1, 0, copy_big_image_callable);
  add("guidata", 2, 1, call_guidata);
  add("guihandles", 1, 1, call_guihandles);
  add("openfig", 2, 1, call_openfig);
  add("basereg", 3, 1, call_basereg);
  add("centsize2", 1, 1, call_centsize2);
  add("cla", kAnyCount, 1, call_cla);
  add("dload", 1, 1, dload_callable);
  add("getconsensus", 1, 2, call_getconsensus);
  add("mfload", 1, 2, mfload_callable);
  add("showshape", 2, 1, showshape_callable);
  add("ylabel", kAnyCount, 1, call_ylabel);
  add("isvarname", 1, 1, call_isvarname);
  add("movegui", kAnyCount, 0, call_movegui);
  add("centpos", 1, 1, call_centpos);
  add("centsize", 1, 1, call_centsize);
  add("iskeyword", 1, 1, call_iskeyword);
  // Beyond the copy: the same enlarged picture written to a file the user names.
  add("SaveBigImage", 1, 0, save_big_image_callable);
  rt.set_callback_check(
      [&rt](const std::vector<std::string>& words) { return check_callback(rt, words); });
}

}  // namespace qiv
