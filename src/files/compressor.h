// The external compressor that turns a level into its gzip form and back.
// The compressor is the system's gzip, gzip.exe in the working folder where
// the user chose that folder and its program, or the program that
// TERRAFIX_COMPRESSOR names; each takes gzip's options. Where it is the
// system's gzip, libdeflate does most of the work, several times faster:
// libdeflate-gzip (where installed) compresses, into files no larger, and
// a load has gzip read only the level's start, then reads the whole in the
// editor's own memory, in the room that start promises, leaving to gzip
// whatever it cannot read whole there.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "platform/programs/run_program.h"

namespace terrafix {

constexpr const char* CompressorName = "gzip.exe";
// The variable that names another compressor: a program on the search path,
// or a path to one, that takes gzip's options.
constexpr const char* CompressorVariable = "TERRAFIX_COMPRESSOR";

// Whether ./gzip.exe may stand in for the system's gzip: only when the editor
// was started from a shell in its working folder, with no --desktop and no
// file to open. Set once at start-up; off until then.
void AllowFolderCompressor(bool allowed);

// The compressor: the program file to run, empty when there is none. A
// ./gzip.exe that is not a runnable regular file is passed over.
std::string CompressorProgram();

// The program that compresses: libdeflate-gzip where it stands in for the
// system's gzip, else the compressor.
std::string CompressingProgram();

// How hard to work at a compression: a level saved is as small as gzip
// makes it, or smaller; one kept as the editor ends is kept soon.
enum class Compression { Saved, Kept };

// Compresses the file `name` into the open file `to`, leaving `name` as it
// is. Returns the compressor's exit status or a result of run_program.h.
// Attended, it shares the terminal and Esc typed meanwhile stops it; else
// (as the editor ends) it touches nothing of the screen.
int CompressInto(const std::string& name, int to, bool attended = true, Compression how = Compression::Saved);

// What the start of an output tells of its limit and the room to make for
// it (ProgramStreams, run_program.h); none: the limit stands.
struct OutputStart {
  size_t Length = 0;
  std::function<OutputRoom(std::span<const uint8_t> start)> Room = nullptr;
};

// Decompresses the file `name` into `bytes`, at most `limit` of them (more
// stops the compressor), or what its start tells. Leaves `name` as it is.
int DecompressInto(const std::string& name, std::vector<uint8_t>& bytes, size_t limit, const OutputStart& start = {});

// The same for the compressed stream that the open file `from` holds from
// where it stands to its end.
int DecompressFrom(int from, std::vector<uint8_t>& bytes, size_t limit, const OutputStart& start = {});

}  // namespace terrafix
