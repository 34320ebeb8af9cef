#pragma once
// The pieces of reading numbers from landmark text that every reader of this folder shares:
// what separates numbers, the exact fast path for plain decimals, and quoting a bad token in
// a message.
#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/text.h"

namespace qiv {

// Blanks, tabs and commas separate numbers (and the stray control blanks \v and \f).
inline bool is_separator(char c) {
  return c == ' ' || c == '\t' || c == ',' || c == '\v' || c == '\f';
}

// LF, CR LF and CR alone each end a line: files from every kind of machine read alike.
inline bool is_line_end(char c) { return c == '\n' || c == '\r'; }

// The start of the line after the line end at p.
inline const char* after_line_end(const char* p, const char* end) {
  return (*p == '\r' && p + 1 != end && p[1] == '\n') ? p + 2 : p + 1;
}

// Exact powers of ten: every one up to 1e22 is a double without rounding.
inline constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                    1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                    1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The common case of a plain decimal ([-]digits[.digits][e[+-]digits]) whose digits, read as
// one whole number, stay below 2^53 and whose decimal exponent lies within 22: then both the
// whole number and the power of ten are exact doubles, and one multiplication or division
// rounds correctly, giving the same double as from_chars (Clinger's fast path). Anything else
// returns nullptr and goes to from_chars. On success returns the end of the number.
inline const char* parse_plain_decimal(const char* p, const char* end, double& out) {
  const bool negative = p != end && *p == '-';
  if (negative) ++p;
  std::uint64_t mantissa = 0;
  const char* const int_start = p;
  for (; p != end && static_cast<unsigned>(*p - '0') < 10; ++p)
    mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
  std::ptrdiff_t digits = p - int_start;
  int exponent = 0;
  if (p != end && *p == '.') {
    ++p;
    const char* const frac_start = p;
    for (; p != end && static_cast<unsigned>(*p - '0') < 10; ++p)
      mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
    exponent = -static_cast<int>(std::min<std::ptrdiff_t>(p - frac_start, 1000));
    digits += p - frac_start;
  }
  // 19 digits cannot overflow 64 bits; more go to from_chars.
  if (digits == 0 || digits > 19 || mantissa > (std::uint64_t{1} << 53)) return nullptr;
  if (p != end && (*p == 'e' || *p == 'E')) {
    ++p;
    bool exp_negative = false;
    if (p != end && (*p == '+' || *p == '-')) exp_negative = *p++ == '-';
    int e = 0;
    int exp_digits = 0;
    for (; p != end && static_cast<unsigned>(*p - '0') < 10; ++p) {
      e = e * 10 + (*p - '0');
      if (++exp_digits > 4) return nullptr;
    }
    if (exp_digits == 0) return nullptr;
    exponent += exp_negative ? -e : e;
  }
  if (exponent < -22 || exponent > 22) return nullptr;
  double v = static_cast<double>(mantissa);  // exact: at most 2^53
  v = exponent < 0 ? v / kPow10[-exponent] : v * kPow10[exponent];
  out = negative ? -v : v;
  return p;
}

// A piece of the file quoted in a message (see quoted_excerpt).
inline std::string quoted_token(const char* begin, const char* end) {
  return quoted_excerpt(std::string_view(begin, static_cast<std::size_t>(end - begin)));
}

// Where a token that starts at p ends: at the next separator, line feed or the end.
inline const char* token_end(const char* p, const char* end) {
  while (p != end && *p != '\n' && !is_separator(*p)) ++p;
  return p;
}

// Reads the token that starts at p (not a separator) as one number, by the rules of the
// landmark data file: one leading "+" allowed, any decimal notation, NaN and Inf, values
// beyond the range of doubles as infinities or (sub)normals. Returns the end of the number,
// or nullptr when the token is not a number.
inline const char* read_number(const char* p, const char* end, double& v) {
  if (*p == '+' && p + 1 != end && p[1] != '-' && p[1] != '+') ++p;
  const char* plain = parse_plain_decimal(p, end, v);
  if (plain && token_end(plain, end) == plain) return plain;
  auto [next, ec] = std::from_chars(p, end, v);
  if (next == p || token_end(next, end) != next) return nullptr;
  if (ec == std::errc::result_out_of_range) {
    v = std::strtod(std::string(p, next).c_str(), nullptr);
    return next;
  }
  return ec == std::errc() ? next : nullptr;
}

}  // namespace qiv
