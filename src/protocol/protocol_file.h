#pragma once
// Reading a protocol file chosen by the user: one route for "LoadProto" in the main window and
// "LoadProtoT" in the target window.
#include <optional>
#include <string>

#include "base/matrix.h"
#include "core/context.h"
#include "core/protocol.h"

namespace qiv {

struct ChosenProtocol {
  Protocol proto;    // checked
  std::string name;  // the file name without its folder
};

// The file-open dialog of "Load" (mfload), then the file read as a protocol for k landmarks
// (check_protocol_table). On cancel nothing happens and nothing is returned. A file that
// cannot be opened ("Cannot open the protocol file NAME."), is refused by the reader or does
// not fit k landmarks gives a message box, makes the folder current before the dialog current
// again and returns nothing. Otherwise the file's folder is current.
std::optional<ChosenProtocol> choose_protocol_file(Context& ctx, Eigen::Index k);

}  // namespace qiv
