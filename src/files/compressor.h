// The external compressor that turns the uncompressed level file `name` into
// name.dat and back: gzip.exe in the working folder when there is one, else
// the system's gzip.
#pragma once

#include <string>

namespace terrafix {

constexpr const char* CompressorName = "gzip.exe";

// The program file to run; empty when there is none.
std::string CompressorProgram();

// Runs the compressor on `name` (replacing it by name.dat) or on name.dat
// (replacing it by name). The name reaches it as one argument that no
// compressor takes for an option. Returns its exit status, or -1 when it
// cannot be started.
int Compress(const std::string& name);
int Decompress(const std::string& name);

}  // namespace terrafix
