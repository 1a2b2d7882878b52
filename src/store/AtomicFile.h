#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvo {

// Writes a temporary file beside `path`, flushes it to disk and renames it over `path`, so a crash
// leaves either the old file or the new one, never a truncated one. Returns false on any failure
// (the old file then stays as it was).
bool WriteFileAtomically(const std::string& path, std::string_view content);

// The temporary a writer of `path` uses: "<path>.tmp<pid>", so that two processes never share one.
std::string TemporaryPathFor(const std::string& path);
// Removes the temporaries of writers that died before their rename (a process killed mid-save);
// those of processes still running are left to them. Returns how many were removed.
int RemoveStaleTemporaries(const std::string& folder);
// Flushes a folder's entries, so that a file just created or renamed in it survives a power cut.
// False only when the flush itself fails.
bool SyncFolder(const std::string& folder);

// The files the program creates hold card numbers, names and operator actions: no access for
// others. The database itself is its owner's alone.
inline constexpr unsigned kPrivateFileMode = 0640;
inline constexpr unsigned kPrivateFolderMode = 0750;
// Creates the file with `mode` when it does not exist, so that a later fopen or ofstream of it
// keeps that mode; an existing file keeps its own. Does nothing when it cannot be created (the
// open that follows then reports the failure).
void CreatePrivately(const std::string& path, unsigned mode = kPrivateFileMode);

// Reads a whole file; returns false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& content);

// The configuration files beside the program are small; one larger than this is refused unread.
inline constexpr std::size_t kConfigFileMaxBytes = std::size_t{1} << 20;

enum class TFileRead { Read, Missing, NotRegular, TooLarge, Failed };
// Reads a regular file of at most `maxBytes`. A FIFO, device or folder in its place is refused
// without waiting for a writer, and so is a file larger than the limit unless `refuseLarger` is
// false: then only its first `maxBytes` are read.
TFileRead ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& content,
                          bool refuseLarger = true);
// The warning for a configuration file refused as NotRegular or TooLarge; empty otherwise.
std::string RefusedFileText(const std::string& path, TFileRead outcome);

}  // namespace korvo
