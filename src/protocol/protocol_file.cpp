#include "protocol/protocol_file.h"

#include <filesystem>
#include <system_error>

#include "base/failure.h"
#include "data/landmark_file.h"
#include "protocol/protocol_model.h"

namespace qiv {

std::optional<ChosenProtocol> choose_protocol_file(Context& ctx, Eigen::Index k) {
  // mfload makes the file's folder current; a refused file leaves the folder as it was.
  std::error_code ec;
  const std::filesystem::path before = std::filesystem::current_path(ec);
  auto refuse = [&](const std::string& text) -> std::optional<ChosenProtocol> {
    if (!before.empty()) std::filesystem::current_path(before, ec);
    ctx.ui.msgbox(text);
    return std::nullopt;
  };
  Mfload got;
  try {
    got = mfload(ctx);
  } catch (const Failure& f) {
    return refuse(f.what());
  }
  if (got.cancelled) return std::nullopt;
  if (!got.data) return refuse("Cannot open the protocol file " + got.name + ".");
  if (auto bad = check_protocol_table(*got.data, k, got.name)) return refuse(*bad);
  ChosenProtocol out;
  out.proto = Protocol::from_table(*got.data);
  out.name = std::move(got.name);
  return out;
}

}  // namespace qiv
