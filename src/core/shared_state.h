#pragma once
// The members that outlive one action: the thirteen of the dispatcher, then the specimen
// names. Each holds no value until an action assigns one; clearing a member returns it to no
// value.
#include <optional>
#include <string>
#include <vector>

#include "base/matrix.h"
#include "base/shared.h"
#include "core/block_structure.h"
#include "core/protocol.h"
#include "platform/graphics/graphics.h"
#include "platform/picture_options.h"

namespace qiv {

struct SharedState {
  std::optional<std::string> figdir;  // home directory, where the layouts lie
  std::optional<Handle> figh;         // main window
  std::optional<Handle> menufigh;     // secondary window opened last
  Shared<Matrix> data;                // superimposed specimens, one per row
  Shared<Matrix> reference;           // consensus shape, one row
  std::optional<Protocol> proto;
  std::optional<std::string> protoname;
  std::optional<Handle> lineh;    // highlighted protocol line, -1 for none
  std::optional<Handle> markerh;  // highlighted landmark marker, -1 for none
  Shared<Matrix> rdata;           // back-reflected data set
  BlockStructure blocks;          // the members block and nblocks
  Shared<Matrix> tmatrix;
  // One name per specimen (row of data, and of rdata, which keeps the specimens): the TPS ID
  // or image, the NTS row label, or the numbers 1..m for the program's own files.
  Shared<std::vector<std::string>> names;
  // The name (without folder) of the landmark file "Load" read last, for the main window's
  // title. Not one of the members above: describe_member and the session scripts do not know
  // it, so nothing they print depends on it.
  std::optional<std::string> datafile;
  // The block structure file (without folder) "LoadBlock" read or "SaveMatrix" wrote last;
  // no value once the blocks are cleared or typed otherwise. Not a member either.
  std::optional<std::string> blockfile;
  // How "Save as file..." and "Copy to clipboard" draw their pictures, for the whole run. Not
  // a member either.
  PictureOptions picture;
  // The protocol and the block structure as they were last read from or written to their
  // files: what the close question compares with (protocol_unsaved, blocks_unsaved). Not
  // members either, and never put back by Undo.
  std::optional<Protocol> saved_proto;
  std::optional<BlockStructure> saved_blocks;
};

// True when the protocol has lines that differ from those last loaded or saved: closing
// would lose them. A protocol without lines has nothing to lose.
bool protocol_unsaved(const SharedState& s);
// The same for the block structure: blocks in use that hold lines and differ from those last
// loaded or saved.
bool blocks_unsaved(const SharedState& s);

// Specimen row (0-based) as a message names it: its name, or its number from 1 when there
// are no names for it.
// The members that hold whole data sets (data, reference, rdata, names) are never copied to
// undo a call that fails part way: a copy would double the memory of every click. Only whole
// moves replace them, in the few actions that do; those keep the old values in a
// DataSetsKept until they have finished, and get them back if they fail before.
class DataSetsKept {
 public:
  enum class Which {
    kLoaded,     // data, reference and names, as "Load" and "Clear" replace them
    kReflected,  // rdata
  };
  // Moves those data sets out of s; the action fills them anew.
  DataSetsKept(SharedState& s, Which which);
  ~DataSetsKept();
  DataSetsKept(const DataSetsKept&) = delete;
  DataSetsKept& operator=(const DataSetsKept&) = delete;
  // The action has finished: the old data sets go.
  void done() { done_ = true; }

 private:
  SharedState& s_;
  Shared<Matrix> data_, reference_, rdata_;
  Shared<std::vector<std::string>> names_;
  Which which_;
  bool done_ = false;
};

// A copy of s without its data sets (see DataSetsKept), and the way back.
SharedState copy_without_data_sets(SharedState& s);
void restore_without_data_sets(SharedState& s, SharedState&& copy);

std::string specimen_name(const SharedState& s, Eigen::Index row);

// The names of a table of `rows` specimens in the row order of data (an export, rdata): the
// names when there is one for each row, else the numbers 1..rows (rdata outlives a "Load" of
// other specimens).
std::vector<std::string> specimen_names(const SharedState& s, Eigen::Index rows);

// The names of the members, in the order above.
const std::vector<std::string>& shared_state_members();

// A member as text, for session scripts: "<no value>"; a string on one line; a matrix one
// row per line ("%.17g", one blank between values); for block one line per block (an empty
// block as an empty line); for names one name per line. Throws Failure for an unknown member name.
std::string describe_member(const SharedState& s, const std::string& name);

}  // namespace qiv
