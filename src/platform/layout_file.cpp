#include "platform/layout_file.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string_view>

#include "base/failure.h"
#include "platform/graphics/properties.h"
#include "platform/graphics/style.h"
#include "platform/input_file.h"
#include "platform/text.h"

namespace qiv {
namespace {

using Json = nlohmann::json;

// One object to create: its type and its properties in the order they are to be set.
struct LayoutObject {
  ObjType type;
  std::vector<std::pair<std::string, Value>> props;
};

class Reader {
 public:
  Reader(std::string file_name, const CallbackCheck& check)
      : file_(std::move(file_name)), check_(check) {}

  std::vector<LayoutObject> read(const std::string& text) {
    Json doc = parse(text);
    if (!doc.is_object() || !doc.contains("Type") || doc["Type"] != "figure")
      fail("the top level must be an object with \"Type\": \"figure\"");
    std::vector<LayoutObject> out;
    where_ = "the figure";
    out.push_back(object(doc, ObjType::kFigure));
    if (!doc.contains("Children")) return out;
    const Json& kids = doc["Children"];
    if (!kids.is_array()) fail("\"Children\" must be a list of objects");
    for (std::size_t i = 0; i < kids.size(); ++i) {
      const Json& k = kids[i];
      where_ = "child " + std::to_string(i + 1);
      if (!k.is_object()) fail("must be an object");
      auto tag = k.find("Tag");
      if (tag != k.end() && tag->is_string())
        where_ += " (Tag \"" + tag->get<std::string>() + "\")";
      std::string type = "uicontrol";
      if (k.contains("Type")) {
        if (!k["Type"].is_string()) fail("Type must be \"axes\" or \"uicontrol\"");
        type = k["Type"].get<std::string>();
      }
      if (type == "axes") {
        out.push_back(object(k, ObjType::kAxes));
      } else if (type == "uicontrol") {
        out.push_back(object(k, ObjType::kUicontrol));
      } else {
        fail("unknown Type \"" + type + "\"");
      }
    }
    return out;
  }

 private:
  [[noreturn]] void fail(const std::string& what) const {
    throw Failure("Layout file \"" + file_ + "\": " + (where_.empty() ? "" : where_ + ": ") + what +
                  ".");
  }

  Json parse(const std::string& text) const {
    try {
      return Json::parse(text, nullptr, true, /*ignore_comments=*/true);
    } catch (const Json::parse_error& e) {
      // "[json.exception.parse_error.101] parse error at line 3, column 5: reason". The reason
      // quotes all that was read since the failing token began ("last read: '...'"), which
      // can be the rest of a large file, so only the end of that quote is kept. Plain string
      // search: std::regex recurses once per character and overflows the stack on a long
      // message.
      const std::string what = e.what();
      constexpr std::string_view kAt = " at line ", kColumn = ", column ", kLast = "last read: '";
      const std::size_t at = what.find(kAt);
      const std::size_t column = at == std::string::npos ? at : what.find(kColumn, at);
      const std::size_t colon = column == std::string::npos ? column : what.find(": ", column);
      if (colon == std::string::npos)
        throw Failure("Layout file \"" + file_ + "\": invalid JSON: " + what.substr(0, 200));
      std::string reason = what.substr(colon + 2);
      const std::size_t quote = reason.find(kLast);
      if (quote != std::string::npos) {
        const std::size_t begin = quote + kLast.size();
        std::size_t end = reason.rfind("'; expected ");
        if (end == std::string::npos || end < begin) end = reason.rfind('\'');
        constexpr std::size_t kKept = 40;
        if (end != std::string::npos && end > begin && end - begin > kKept)
          reason.replace(begin, end - begin - kKept, "...");
      }
      throw Failure("Layout file \"" + file_ + "\", line " +
                    what.substr(at + kAt.size(), column - at - kAt.size()) + ", column " +
                    what.substr(column + kColumn.size(), colon - column - kColumn.size()) +
                    ": invalid JSON: " + reason);
    } catch (const Json::exception& e) {
      // A number beyond the range of doubles ("1e400") is reported as out_of_range, without
      // a place: "[json.exception.out_of_range.406] number overflow parsing '1e400'".
      std::string what = e.what();
      const std::size_t close = what.find("] ");
      if (what.rfind("[json.exception.", 0) == 0 && close != std::string::npos)
        what.erase(0, close + 2);
      throw Failure("Layout file \"" + file_ + "\": invalid JSON: " + what.substr(0, 200));
    }
  }

  // The properties a layout may give are those of the object model's table marked so.
  LayoutObject object(const Json& j, ObjType type) const {
    const std::vector<PropertyRule>& rules = property_rules(type);
    LayoutObject out{type, {}};
    for (auto it = j.begin(); it != j.end(); ++it) {
      if (it.key() == "Type" || (type == ObjType::kFigure && it.key() == "Children")) continue;
      const PropertyRule* rule = find_property(type, it.key());
      if (!rule || !rule->in_layout) fail("unknown property \"" + it.key() + "\"");
      out.props.emplace_back(rule->name, value(*rule, it.value()));
    }
    // Set in the table's order, so that Units comes before the Position it qualifies.
    auto rank = [&](const std::string& name) {
      return std::find_if(rules.begin(), rules.end(),
                          [&](const PropertyRule& p) { return name == p.name; }) -
             rules.begin();
    };
    std::stable_sort(out.props.begin(), out.props.end(),
                     [&](const auto& a, const auto& b) { return rank(a.first) < rank(b.first); });
    return out;
  }

  Value value(const PropertyRule& p, const Json& v) const {
    const std::string name = p.name;
    switch (p.kind) {
      case PropKind::kText:
        if (!v.is_string()) fail(name + " must be a text");
        return Value(v.get<std::string>());
      case PropKind::kChoice:
      case PropKind::kOnOff: {
        static const std::vector<std::string> on_off{"on", "off"};
        const std::vector<std::string>& words = p.kind == PropKind::kOnOff ? on_off : p.choices;
        std::string word = v.is_string() ? to_lower(v.get<std::string>()) : std::string();
        if (std::find(words.begin(), words.end(), word) == words.end()) {
          if (p.long_list && v.is_string())
            fail("unknown " + name + " \"" + v.get<std::string>() + "\"");
          std::string list;
          for (std::size_t i = 0; i < words.size(); ++i)
            list += (i == 0 ? "\"" : i + 1 == words.size() ? " or \"" : ", \"") + words[i] + "\"";
          fail(name + " must be " + list);
        }
        return Value(word);
      }
      case PropKind::kNumber:
      case PropKind::kNumbers:
        if (!v.is_number()) fail(name + " must be a number");
        return Value(v.get<double>());
      case PropKind::kRect: {
        if (!v.is_array() || v.size() != 4 ||
            !std::all_of(v.begin(), v.end(), [](const Json& e) { return e.is_number(); }))
          fail(name + " must be four numbers [left bottom width height]");
        if (v[2].get<double>() < 0 || v[3].get<double>() < 0)
          fail(name + " must not have a negative width or height");
        return row(
            {v[0].get<double>(), v[1].get<double>(), v[2].get<double>(), v[3].get<double>()});
      }
      case PropKind::kColor: {
        std::optional<Rgb> c;
        if (v.is_string()) c = parse_color(v.get<std::string>());
        if (v.is_array() && v.size() == 3 &&
            std::all_of(v.begin(), v.end(), [](const Json& e) { return e.is_number(); }))
          c = color_from_matrix(row({v[0].get<double>(), v[1].get<double>(), v[2].get<double>()}));
        if (!c || c->none) fail(name + " must be [red green blue] in 0..1 or a colour name");
        return color_to_matrix(*c);
      }
      case PropKind::kLines: {
        if (v.is_string()) return Value(v.get<std::string>());
        if (!v.is_array() ||
            !std::all_of(v.begin(), v.end(), [](const Json& e) { return e.is_string(); }))
          fail(name + " must be a text or a list of texts");
        List lines;
        for (const Json& e : v) lines.emplace_back(e.get<std::string>());
        return Value(std::move(lines));
      }
      case PropKind::kCallback: {
        if (!v.is_array() || v.empty() ||
            !std::all_of(v.begin(), v.end(), [](const Json& e) { return e.is_string(); }))
          fail(name + " must be a list of texts: a function name, then its arguments");
        std::vector<std::string> words;
        for (const Json& e : v) words.push_back(e.get<std::string>());
        if (check_) {
          std::string why = check_(words);
          if (!why.empty()) fail("Callback: " + why);
        }
        List l;
        for (auto& w : words) l.emplace_back(std::move(w));
        return Value(std::move(l));
      }
      default:
        fail("unknown property \"" + name + "\"");
    }
  }

  std::string file_;
  const CallbackCheck& check_;
  std::string where_;
};

}  // namespace

const std::vector<std::string>& layout_styles() { return uicontrol_styles(); }

Handle hgload_text(Graphics& gfx, const std::string& text, const std::string& file_name,
                   const CallbackCheck& check) {
  std::vector<LayoutObject> objects = Reader(file_name, check).read(text);
  Handle fig = gfx.new_figure();
  for (const auto& [name, v] : objects[0].props) gfx.set(fig, name, v);
  gfx.set(fig, "FileName", Value(file_name));
  for (std::size_t i = 1; i < objects.size(); ++i) {
    Handle h = objects[i].type == ObjType::kAxes ? gfx.new_axes(fig) : gfx.new_uicontrol(fig);
    for (const auto& [name, v] : objects[i].props) gfx.set(h, name, v);
  }
  return fig;
}

Handle hgload(Graphics& gfx, const std::string& path, const CallbackCheck& check) {
  std::optional<InputBytes> bytes;
  try {
    bytes = read_input_file(path);
  } catch (const Failure&) {  // no regular file, too large, changed while read
    bytes.reset();
  }
  if (!bytes) throw Failure("Layout file \"" + path + "\" cannot be read.");
  // Comments run to the line end and messages count lines: every line end becomes LF first.
  return hgload_text(gfx, with_lf_line_ends(skip_bom(bytes->view())), path, check);
}

}  // namespace qiv
