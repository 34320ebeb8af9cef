#pragma once
// Writing output files safely: the content goes to a temporary file in the target's folder,
// which is renamed over the target only when it is complete, so a failed write never
// destroys an existing file and never leaves a half-written one.
#include <cstddef>
#include <string>

namespace qiv {

// Writes content to path. Returns false (and leaves no temporary file behind, and any
// existing file at path untouched) when the folder cannot be written or the write fails.
bool write_file_atomically(const std::string& path, const std::string& content);

// For tests: make the next writes fail after this many bytes, as a full disk would;
// a negative value turns the fault off.
void set_write_fault_for_testing(long fail_after_bytes);

}  // namespace qiv
