#include "app/command_line.h"

#include <ostream>

#include "app/application.h"
#include "app/qiv_proto.h"
#include "platform/headless_ui.h"
#include "platform/text.h"

namespace qiv {
namespace {

std::string value_lines(const Value& v) {
  if (v.is_matrix()) return format_matrix_g17(v.matrix());
  if (v.is_string()) return v.str();
  if (v.is_list()) {
    std::string out;
    for (std::size_t i = 0; i < v.list().size(); ++i) {
      if (i > 0) out += '\n';
      out += value_lines(v.list()[i]);
    }
    return out;
  }
  if (v.is_record()) {
    std::string out;
    for (std::size_t i = 0; i < v.record().size(); ++i) {
      const Field& f = v.record()[i];
      if (i > 0) out += '\n';
      const Value& fv = f.value;
      out += f.name + ": " + (fv.is_matrix() ? format_matrix_g17(fv.matrix(), " ", " ") : value_lines(fv));
    }
    return out;
  }
  return "";
}

}  // namespace

std::string format_outputs(const Outputs& outs) {
  std::string text;
  for (std::size_t i = 0; i < outs.size(); ++i) {
    if (i > 0) text += '\n';
    text += value_lines(outs[i]);
    text += '\n';
  }
  return text;
}

int run_command_line(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  HeadlessUi ui(&out, &err);
  Application app(ui);
  Args args;
  for (const auto& w : words) args.emplace_back(w);
  int nout = words.empty() ? 0 : declared_outputs(app.ctx, words[0]);
  Outputs outs = Qiv_proto(app.ctx, args, nout);
  out << format_outputs(outs) << std::flush;
  return 0;
}

}  // namespace qiv
