// Failures of the file system made on purpose, so that tests can see what
// the editor does when a disk is full, a folder cannot be written or a
// rename is refused. The calls of platform/files ask here first; outside
// tests nothing is ever set, and every call goes to the system.
#pragma once

namespace terrafix {

enum class FileCall { Create, Write, Sync, Rename, Read, Remove, MakeFolder };

// The calls of that kind after the first `after` fail with the error
// number `error`, `count` of them (all, until StopFileFailures, unless given).
void FailFileCalls(FileCall call, int error, int after = 0, int count = -1);
void StopFileFailures();

// Whether this call of that kind is to fail; if so, errno is set.
bool FileCallFails(FileCall call);

}  // namespace terrafix
