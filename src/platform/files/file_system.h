// What the level commands ask of the file system besides reading and writing
// bytes: what a name is, moving a file, and reading the start of one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace terrafix {

// What a name stands for, the name itself looked at (a link is not followed).
enum class FileKind { Missing, Regular, Other };  // Other: a link, a folder, a pipe, a device...
FileKind KindOfFile(const std::string& name);

// The size of a regular file, or -1.
int64_t SizeOfFile(const std::string& name);

// Whether both names lead to one existing file.
bool SameFile(const std::string& a, const std::string& b);

// The folder a file name names: what stands before its last slash ("/" for
// a file at the root), or "." for a name with none.
std::string FolderOf(const std::string& name);

// Opens the regular file `name` for reading and locks it (flock) for this
// process alone: -1 when another process holds it, or when it is not, or no
// longer, a regular file of that name (a link is never followed). Closing
// the descriptor releases it.
int OpenAlone(const std::string& name);

// Renames `from` to `to`; a file called `to` is replaced.
bool MoveFile(const std::string& from, const std::string& to);

// Removes the file `name` (a link itself, never what it leads to).
bool RemoveFile(const std::string& name);

// Whether `folder` is, or has now been made (with the folders above it), a
// folder of this user's that only this user may enter (0700). A link there
// is never followed.
bool MakePrivateFolder(const std::string& folder);

// The names in a folder, without it; none for a folder that cannot be read.
std::vector<std::string> NamesIn(const std::string& folder);

// The working folder, or empty.
std::string CurrentFolder();

// Writes all of `bytes` at the descriptor's position; false when any of
// them did not go.
bool WriteWhole(int fd, std::string_view bytes);

// Moves the descriptor's position to `offset` from the start.
bool SeekTo(int fd, int64_t offset);

// When the open file was last changed, in Unix seconds; 0 when not known.
int64_t ChangedTime(int fd);

// Closes a descriptor that OpenAlone or a temporary gave.
void CloseDescriptor(int fd);

// Reads the first `limit` bytes of the file `name` (all of a shorter one)
// into `bytes`. False, with `why`, when it cannot be read.
bool ReadFileStart(const std::string& name, std::vector<uint8_t>& bytes, size_t limit, std::string& why);

}  // namespace terrafix
