// Byte-addressed files through numbered slots (1..254). Positions count from
// 1; position 0 means the current position. Reads past the end give zeros.
// Each open file goes through a buffer of 64 KiB. Runs of a MiB of zeros
// that a long write puts past the file's end are left as a hole, which reads
// back as zeros (a level of air, a schematic's Data, cost nothing to write).
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace terrafix {

constexpr int FirstFileSlot = 1;
constexpr int LastFileSlot = 254;

// Opens an existing file for reading and writing, else creates it empty, else
// opens it for reading only. Fails for a slot already open, a folder, or a
// name that can be neither created nor read.
bool OpenByteFile(const std::string& name, int slot);
void ReadBytesAt(int slot, int64_t position, std::span<uint8_t> bytes);
// Nothing is written to a free or read-only slot (and the slot then counts as failed).
void WriteBytesAt(int slot, int64_t position, std::span<const uint8_t> bytes);
// Flushes and closes the slot. False when anything written through it did not
// reach the file: a read-only slot, a failed write, flush or close.
bool CloseFile(int slot);
bool FileSlotIsOpen(int slot);

}  // namespace terrafix
