#pragma once
// The tags by which the actions find the controls of the windows, in one place. A layout
// must give its controls these tags; the README lists them and a test compares the two.
// Every button of the shipped layouts is tagged besides with the action it sends.
#include <vector>

namespace qiv::tags {

// Main window (layout "Qiv_proto").
inline constexpr const char* kFileBox = "FileBox";
inline constexpr const char* kProtoPointBox = "ProtoPointBox";  // "Lines in protocol"
inline constexpr const char* kEndBox1 = "EndBox1";              // "Line between": first end
inline constexpr const char* kEndBox2 = "EndBox2";              // and second end
inline constexpr const char* kActivePointBox = "ActivePointBox";
inline constexpr const char* kNumberRequest = "NumberRequest";
// Subset window ("qiv_subset").
inline constexpr const char* kPointBox = "PointBox";
inline constexpr const char* kSubsetBox = "SubsetBox";
// Back-reflection window ("qiv_back").
inline constexpr const char* kActiveLMBox = "ActiveLMBox";
inline constexpr const char* kMidBox = "MidBox";
// Target window ("qiv_target").
inline constexpr const char* kLengthBox = "LengthBox";
inline constexpr const char* kLoadProtoButton = "LoadProtoButton";
inline constexpr const char* kTargetLineBox = "TargetLineBox";
inline constexpr const char* kSetBlocks = "SetBlocks";
inline constexpr const char* kMaxBlockBox = "MaxBlockBox";
inline constexpr const char* kBlockBox = "BlockBox";
inline constexpr const char* kCurrentBlockBox = "CurrentBlockBox";
inline constexpr const char* kPermBox = "PermBox";
inline constexpr const char* kSeedBox = "SeedBox";
inline constexpr const char* kModularityText = "ModularityText";
inline constexpr const char* kModularityTable = "ModularityTable";
// Correlations window ("qiv_correlations") and block files compared ("qiv_comparison").
inline constexpr const char* kCorrelationAxes = "CorrelationAxes";
inline constexpr const char* kComparisonTable = "ComparisonTable";

// The tags each window's layout must hold, by window, in the order above.
struct WindowTags {
  const char* window;  // as the README names it: "main window", "subset", ...
  const char* layout;  // the layout file's name without ".fig"
  std::vector<const char*> tags;
};
inline const std::vector<WindowTags>& required_tags() {
  static const std::vector<WindowTags> all{
      {"main window",
       "Qiv_proto",
       {kFileBox, kProtoPointBox, kEndBox1, kEndBox2, kActivePointBox, kNumberRequest}},
      {"subset", "qiv_subset", {kPointBox, kSubsetBox}},
      {"back-reflection", "qiv_back", {kActiveLMBox, kMidBox}},
      {"target",
       "qiv_target",
       {kLengthBox, kLoadProtoButton, kTargetLineBox, kSetBlocks, kMaxBlockBox, kBlockBox,
        kCurrentBlockBox, kPermBox, kSeedBox, kModularityText, kModularityTable}},
      {"correlations", "qiv_correlations", {kCorrelationAxes}},
      {"block files compared", "qiv_comparison", {kComparisonTable}},
  };
  return all;
}

}  // namespace qiv::tags
