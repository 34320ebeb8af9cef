#include "guikit/identifiers.h"

#include <algorithm>

namespace qiv {

const std::vector<std::string>& keywords() {
  static const std::vector<std::string> k{
      "break",  "case", "catch",     "continue",   "else",   "elseif", "end", "for",  "function",
      "global", "if",   "otherwise", "persistent", "return", "switch", "try", "while"};
  return k;
}

bool iskeyword(const std::string& s) {
  const auto& k = keywords();
  return std::find(k.begin(), k.end(), s) != k.end();
}

namespace {
bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

bool isvarname(const std::string& s) {
  if (s.empty() || s.size() > 31) return false;
  if (s.find('\n') != std::string::npos) return false;  // more than one row
  if (!is_letter(s[0])) return false;
  for (char c : s)
    if (!is_letter(c) && !is_digit(c) && c != '_') return false;
  return !iskeyword(s);
}

bool isvarname(const Value& v) { return v.is_string() && isvarname(v.str()); }

}  // namespace qiv
