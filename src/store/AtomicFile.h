#pragma once

#include <string>
#include <string_view>

namespace korvo {

// Writes a temporary file beside `path`, flushes it to disk and renames it over `path`, so a crash
// leaves either the old file or the new one, never a truncated one. Returns false on any failure
// (the old file then stays as it was).
bool WriteFileAtomically(const std::string& path, std::string_view content);

// Reads a whole file; returns false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& content);

}  // namespace korvo
