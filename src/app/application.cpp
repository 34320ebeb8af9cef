#include "app/application.h"

#include <filesystem>

#include "app/qiv_proto.h"

namespace qiv {

FileChoice PresetOpenUi::get_file(const std::string& filter, const std::string& title) {
  if (!preset_) return inner_.get_file(filter, title);
  std::vector<FileChoice> files = std::move(*preset_);
  preset_.reset();
  return files.empty() ? FileChoice::cancel() : std::move(files.front());
}

std::vector<FileChoice> PresetOpenUi::get_files(const std::string& filter,
                                                const std::string& title) {
  if (!preset_) return inner_.get_files(filter, title);
  std::vector<FileChoice> files = std::move(*preset_);
  preset_.reset();
  return files;
}

Application::Application(Ui& ui) : ui_(ui), ctx{state, gfx, ui_, rt, history} {
  register_callables(rt, ctx);
}

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

void Application::load_files(const std::vector<std::string>& paths) {
  // A file dialog answers with a full folder ending in a separator and a bare name.
  namespace fs = std::filesystem;
  std::vector<FileChoice> files;
  for (const std::string& path : paths) {
    const fs::path full = fs::absolute(fs::path(path)).lexically_normal();
    std::string dir = full.parent_path().string();
    if (dir.empty() || dir.back() != '/') dir += '/';
    files.push_back(FileChoice::chosen(full.filename().string(), dir));
  }
  ui_.answer_next_open(std::move(files));
  action("Load");
  ui_.forget_answer();  // unused only if "Load" asked nothing; never let it answer later
}

}  // namespace qiv
