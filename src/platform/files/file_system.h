// What the level commands ask of the file system besides reading and writing
// bytes: what a name is, moving and removing files, and making a file lasting.
#pragma once

#include <cstdint>
#include <string>

namespace terrafix {

// What a name stands for, the name itself looked at (a link is not followed).
enum class FileKind { Missing, Regular, Other };  // Other: a link, a folder, a pipe, a device...
FileKind KindOfFile(const std::string& name);

// The size of a regular file, or -1.
int64_t SizeOfFile(const std::string& name);

// Whether both names lead to one existing file.
bool SameFile(const std::string& a, const std::string& b);

// Renames `from` to `to`, which must not exist (it would be replaced).
bool MoveFile(const std::string& from, const std::string& to);
bool RemoveFile(const std::string& name);

// Flushes the file and the folder that holds its name to the disk, so that
// both survive a power cut.
bool SyncToDisk(const std::string& name);

}  // namespace terrafix
