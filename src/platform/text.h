#pragma once
// Conversions between typed text and numbers, and printf-style formatting.
#include <string>
#include <string_view>

#include "base/matrix.h"

namespace qiv {

// Parses text the user typed into a matrix of numbers.
//  - Numbers are separated by blanks, tabs or commas; rows by ";" or line breaks (LF, CR LF,
//    CR). The whole text may be wrapped in "[" and "]".
//  - A number is anything std::from_chars accepts for a double (an optional leading "+" is
//    also taken), or Inf, -Inf, NaN (any letter case).
//  - a:b and a:s:b expand to the run a, a+s, ... up to b (s defaults to 1); an empty run
//    contributes no numbers. A run of more than 100,000 numbers is refused like other bad
//    text: no list a user types needs more, and a slip of the keyboard must not stall.
//  - Empty rows are skipped. Rows of unequal length, or any other text, give an empty matrix
//    (0 x 0): never a partial result, never an exception.
Matrix str2num(std::string_view text);

// Formats numbers the way the user sees them in a control:
//  - a whole number as a plain integer ("7", "-3"); any other as "%.5g" ("0.5"); NaN, Inf,
//    -Inf as "NaN", "Inf", "-Inf";
//  - the numbers of a row right-aligned to a common width (the widest of the whole matrix)
//    and separated by two blanks; rows joined by "\n"; the blanks that every row has in
//    front are removed ("1  2", "3  10");
//  - an empty matrix gives an empty text.
std::string num2str(const Matrix& m);
std::string num2str(double v);

// printf-style formatting into a std::string.
std::string sprintf_str(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "%.17g": the exact text of a double for machine-readable output; NaN, Inf, -Inf as words.
std::string format_g17(double v);

// The numbers of m with format_g17, values of a row joined by col_sep and rows by row_sep.
std::string format_matrix_g17(const Matrix& m, const char* col_sep = " ",
                              const char* row_sep = "\n");

// Text with line breaks written as the two characters \n, for one-line output.
std::string escape_newlines(std::string_view text);

// ASCII letters A-Z as a-z; every other byte as it is, whatever the C locale (names of
// properties, colours, style words and file extensions).
char to_lower(char c);
std::string to_lower(std::string_view text);

// True when text is only blanks, tabs and line breaks (or empty).
bool is_blank(std::string_view text);

// A line without the blanks around it (blanks, tabs, \v and \f; a line holds no line end).
std::string_view trim_blanks(std::string_view line);

// A piece of a file quoted in a message: control bytes (a NUL would end the message early)
// shown as "?", and a run longer than 40 bytes cut to its start and "...", so that a binary
// file gives a readable message.
std::string quoted_excerpt(std::string_view text);

}  // namespace qiv
