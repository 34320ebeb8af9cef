#include "app/closing.h"

namespace qiv {
namespace {

struct Document {
  const char* question;
  bool (*unsaved)(const SharedState&);
  const char* save_action;
};

const Document kDocuments[] = {
    {"The protocol has changes that are not saved. Save them before closing?", protocol_unsaved,
     "SaveProtocol"},
    {"The block structure has changes that are not saved. Save them before closing?",
     blocks_unsaved, "SaveMatrix"},
};

}  // namespace

bool ask_before_closing(Context& ctx) {
  for (const Document& d : kDocuments) {
    if (!d.unsaved(ctx.state)) continue;
    switch (ctx.ui.ask_save(d.question)) {
      case SaveReply::kCancel:
        return false;
      case SaveReply::kDiscard:
        break;
      case SaveReply::kSave:
        try {
          run_action(ctx, d.save_action);
        } catch (const Failure& f) {
          ctx.ui.report_failure(f.what(), ctx.gfx.callback_figure());
          return false;
        }
        if (d.unsaved(ctx.state)) return false;
        break;
    }
  }
  return true;
}

void show_unsaved_mark(Context& ctx) {
  const auto& fig = ctx.state.figh;
  if (!fig || !ctx.gfx.ishandle(*fig)) return;
  const std::string name = ctx.gfx.get(*fig, "Name").str();
  const bool marked = !name.empty() && name[0] == '*';
  const bool unsaved = protocol_unsaved(ctx.state) || blocks_unsaved(ctx.state);
  if (unsaved && !marked) ctx.gfx.set(*fig, "Name", Value("*" + name));
  if (!unsaved && marked) ctx.gfx.set(*fig, "Name", Value(name.substr(1)));
}

}  // namespace qiv
