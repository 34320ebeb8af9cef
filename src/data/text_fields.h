#pragma once
// Small text helpers of the landmark file readers: blanks, letters and keys in any case,
// independent of the C locale.
#include <string>
#include <string_view>

#include "platform/text.h"  // trim_blanks

namespace qiv {

// A blank within a line: the line end itself is never part of a line.
inline bool is_blank_char(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

inline bool is_ascii_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Whether a line holds nothing but blanks (a stray carriage return counts as one).
inline bool is_blank_text(std::string_view s) {
  for (char c : s)
    if (!is_blank_char(c) && c != '\r') return false;
  return true;
}

inline std::string ascii_upper(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

}  // namespace qiv
