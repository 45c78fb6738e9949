// The editor's own hidden temporary files, beside the files they will
// become: ".terrafix-temporary-" and twelve letters or digits, whatever the
// name of the level, so that names up to the file system's limit still work.
// While the editor (or a program writing into one) has a temporary open, the
// file is locked; one that nobody holds any more is abandoned, and the next
// clean-up removes it. A temporary only ever holds what the editor writes,
// which is never text: a file of that name that is not empty and has no zero
// byte near its start is the user's, and stays.
#pragma once

#include <string>

namespace terrafix {

struct TemporaryFile {
  std::string Name;  // with its folder; empty when none was made
  int Fd = -1;       // open for reading and writing, and locked
};

// Makes a new, empty temporary (mode 600) in `folder`. False when none
// could be made; `why` then says what failed.
bool MakeTemporary(TemporaryFile& file, std::string& why, const std::string& folder = ".");

// Closes and removes it; nothing for one never made.
void RemoveTemporary(TemporaryFile& file);

// Closes it and gives its name up: it has become another file.
void ForgetTemporary(TemporaryFile& file);

// Makes the temporary the file `name` in one step, replacing any file of
// that name: with the mode and owner of the file it replaces (else
// `newMode` less the umask, as a new file gets), and on the disk, its
// content before the rename and the folder after it. False, with `why`, when
// it could not; the temporary is then still the caller's.
bool PutTemporaryInPlace(TemporaryFile& file, const std::string& name, std::string& why, unsigned newMode = 0666);

// Whether `name` has the form of the editor's temporaries.
bool IsTemporaryName(const std::string& name);

// Removes the abandoned temporaries in `folder`: names of that form, regular
// files of this user that no process holds and that hold what a temporary
// holds. Nothing else is touched.
void RemoveAbandonedTemporaries(const std::string& folder = ".");

}  // namespace terrafix
