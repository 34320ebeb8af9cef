#pragma once
// Writing output files safely: the content goes to a temporary file in the target's folder,
// which is renamed over the target only when it is complete, so a failed write never
// destroys an existing file and never leaves a half-written one.
//
// What the user had is kept: a symbolic link stays a link and the file it points to is
// written; an existing file keeps its permission bits, and its owner and group where the
// process may set them. Where the folder may not be written but the file may (a shared file
// in a locked folder), the file is written in place, as editors do.
#include <cstddef>
#include <string>

namespace qiv {

// Writes content to path. Returns false (and leaves no temporary file behind, and any
// existing file at path untouched) when the folder cannot be written or the write fails;
// then *why, when given, holds the reason in the system's words ("Permission denied",
// "File too large" past the size limit, which never kills the process). A target that exists
// and is no regular file (a folder: "Is a directory"; a pipe, device or socket: "it is not a
// regular file") is refused before anything is written.
bool write_file_atomically(const std::string& path, const std::string& content,
                           std::string* why = nullptr);

// For tests: make the next writes fail after this many bytes, as a full disk would;
// a negative value turns the fault off.
void set_write_fault_for_testing(long fail_after_bytes);

}  // namespace qiv
