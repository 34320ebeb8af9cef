#pragma once
// Landmark lists typed by the user: the subset text ("SubsetBox") and the midline text
// ("MidBox") are both turned into numbers by the same rule, and a single landmark number
// ("PointBox", "ActiveLMBox") is checked against the landmark count before it is used.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qiv {

// The numbers of a list text, parsed with str2num: a text of one row (or of nothing) gives
// that row unchanged, zeros included; a text of several rows gives its nonzero entries row
// by row, each row from left to right. Text that str2num rejects gives an empty list.
std::vector<double> landmark_list(std::string_view text);

// True when v is a whole number from 1 to k.
bool is_landmark_number(double v, long k);

// What the status bar says of the entries of list that name no landmark and so select
// nothing: "Left out: 0, 1.5, 13 (landmarks are 1–12)", each number once in typed order
// (num2str); empty when every entry names a landmark.
std::string left_out_text(const std::vector<double>& list, long k);

// Membership flags of landmarks 1..k (index j - 1 for landmark j): set when j occurs in the
// list at least once. Entries that are not whole numbers from 1 to k select nothing.
std::vector<bool> landmark_flags(const std::vector<double>& list, long k);

// The landmark numbers whose flag is set, ascending.
std::vector<long> flagged_landmarks(const std::vector<bool>& flags);

// Joins two texts as strcat joins character arguments: trailing blanks, tabs, line breaks,
// vertical tabs and form feeds of each are dropped first.
std::string strcat_text(std::string_view a, std::string_view b);

// The subset text of the landmarks whose flag is clear: "  " extended with strcat by " %i "
// per landmark in ascending order. strcat drops the trailing blanks of every piece, so the
// result is " 1 3 4" (a blank before each number, none after the last), or the two blanks
// alone when every landmark is flagged.
std::string inverted_subset_text(const std::vector<bool>& flags);

// A landmark list typed by the user (the subset, the midline), read by the rule above; what
// it selects of landmarks 1..k and what it leaves out.
class LandmarkSet {
 public:
  explicit LandmarkSet(std::string_view text) : entries_(landmark_list(text)) {}
  // The numbers as typed, in order (landmark_list).
  const std::vector<double>& entries() const { return entries_; }
  // Membership flags of landmarks 1..k (landmark_flags).
  std::vector<bool> flags(long k) const { return landmark_flags(entries_, k); }
  // The status-bar text of the entries that name no landmark (left_out_text).
  std::string left_out(long k) const { return left_out_text(entries_, k); }

 private:
  std::vector<double> entries_;
};

// The landmark number a one-number text names, or nothing when the text does not hold exactly
// one whole number from 1 to k.
std::optional<long> single_landmark_number(std::string_view text, long k);

// The message shown when a text names no landmark: "Enter a landmark number from 1 to K."
std::string landmark_range_message(long k);

}  // namespace qiv
