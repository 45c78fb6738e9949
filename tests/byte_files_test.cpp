#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "memory_screen.h"
#include "platform/files/byte_files.h"

namespace terrafix {
namespace {

using testing::ReadWholeFile;
using testing::WriteWholeFile;

std::vector<uint8_t> Bytes(size_t n, uint8_t first) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(first + i);
  return v;
}

TEST(ByteFiles, OpeningAMissingFileCreatesItEmpty) {
  testing::WorkingFolder folder;
  ASSERT_TRUE(OpenByteFile("new", 1));
  EXPECT_FALSE(OpenByteFile("other", 1));  // the slot is taken
  std::vector<uint8_t> buffer(320, 0xEE);
  ReadBytesAt(1, 1, buffer);
  EXPECT_EQ(buffer, std::vector<uint8_t>(320, 0));
  EXPECT_TRUE(CloseFile(1));
  EXPECT_TRUE(std::filesystem::exists("new"));
  EXPECT_EQ(std::filesystem::file_size("new"), 0u);
  EXPECT_TRUE(CloseFile(1));  // closing a free slot does nothing
}

TEST(ByteFiles, ReadsPastTheEndGiveZeros) {
  testing::WorkingFolder folder;
  WriteWholeFile("f", std::string(1000, 'x'));
  ASSERT_TRUE(OpenByteFile("f", 3));
  std::vector<uint8_t> row(257, 0xEE);
  ReadBytesAt(3, 901, row);  // offset 900: 100 bytes before the end
  EXPECT_EQ(std::vector<uint8_t>(row.begin(), row.begin() + 100), std::vector<uint8_t>(100, 'x'));
  EXPECT_EQ(std::vector<uint8_t>(row.begin() + 100, row.end()), std::vector<uint8_t>(157, 0));
  ReadBytesAt(3, 5000, row);
  EXPECT_EQ(row, std::vector<uint8_t>(257, 0));
  // Position 0 reads on from where the last transfer ended.
  std::vector<uint8_t> two(2);
  ReadBytesAt(3, 999, two);
  ReadBytesAt(3, 0, two);
  EXPECT_EQ(two, std::vector<uint8_t>(2, 0));
  CloseFile(3);
}

// Transfers longer than the slot's buffer go to and from the file directly;
// they must still see bytes written just before and stop at the end of it.
TEST(ByteFiles, LongTransfersSeeEarlierWritesAndEndWithZeros) {
  testing::WorkingFolder folder;
  WriteWholeFile("f", std::string(300'000, 'a'));
  ASSERT_TRUE(OpenByteFile("f", 4));
  WriteBytesAt(4, 200'001, Bytes(10, 1));  // still in the buffer
  std::vector<uint8_t> most(250'000, 0xEE);
  ReadBytesAt(4, 100'001, most);
  EXPECT_EQ(most[0], 'a');
  EXPECT_EQ(most[100'000], 1);
  EXPECT_EQ(most[100'009], 10);
  EXPECT_EQ(most[199'999], 'a');  // the last byte of the file
  EXPECT_EQ(std::vector<uint8_t>(most.begin() + 200'000, most.end()), std::vector<uint8_t>(50'000, 0));
  // A long write, then a short read inside it.
  WriteBytesAt(4, 1, std::vector<uint8_t>(150'000, 'b'));
  std::vector<uint8_t> two(2);
  ReadBytesAt(4, 150'000, two);
  EXPECT_EQ(two, (std::vector<uint8_t>{'b', 'a'}));
  EXPECT_TRUE(CloseFile(4));
  std::string f = ReadWholeFile("f");
  EXPECT_EQ(f.size(), 300'000u);
  EXPECT_EQ(f.substr(149'998, 3), "bba");
  EXPECT_EQ(static_cast<uint8_t>(f[200'000]), 1);
}

TEST(ByteFiles, OverlappingWritesAndFilesLongerThanTheWrites) {
  testing::WorkingFolder folder;
  ASSERT_TRUE(OpenByteFile("f", 2));
  WriteBytesAt(2, 320, Bytes(257, 1));
  WriteBytesAt(2, 576, Bytes(257, 100));
  EXPECT_TRUE(CloseFile(2));
  std::string f = ReadWholeFile("f");
  ASSERT_EQ(f.size(), 319u + 256u + 257u);
  EXPECT_EQ(static_cast<uint8_t>(f[319 + 254]), 1 + 254);  // the first write's last-but-one byte
  EXPECT_EQ(static_cast<uint8_t>(f[575]), 100);            // the second write's first byte wins
  EXPECT_EQ(f.substr(0, 319), std::string(319, '\0'));

  // An existing longer file keeps its length and its tail.
  WriteWholeFile("long", std::string(5'000'000, 'L'));
  ASSERT_TRUE(OpenByteFile("long", 2));
  std::vector<uint8_t> block(4096, 'w');
  for (int64_t p = 1; p <= 4'194'698; p += 4096) WriteBytesAt(2, p, block);
  EXPECT_TRUE(CloseFile(2));
  std::string longFile = ReadWholeFile("long");
  EXPECT_EQ(longFile.size(), 5'000'000u);
  EXPECT_EQ(longFile[4'194'697], 'w');
  EXPECT_EQ(longFile[4'999'999], 'L');
}

// Runs of zeros past the end of a file are left as holes, and read back as
// zeros, the file as long as written; zeros over bytes the file has are
// written, and a zero run that ends the file makes it that long.
TEST(ByteFiles, ZerosPastTheEndAreHolesThatReadAsZeros) {
  testing::WorkingFolder folder;
  constexpr size_t MiB = 1024 * 1024;
  std::vector<uint8_t> mixed(5 * MiB, 0);
  mixed[0] = 1;                     // the first run is not all zeros
  mixed[3 * MiB + 7] = 2;           // nor the fourth
  ASSERT_TRUE(OpenByteFile("new", 3));
  WriteBytesAt(3, 1, mixed);
  WriteBytesAt(3, 0, std::vector<uint8_t>(3 * MiB, 0));  // ends the file in zeros
  EXPECT_TRUE(CloseFile(3));
  std::string file = ReadWholeFile("new");
  ASSERT_EQ(file.size(), 8 * MiB);
  EXPECT_TRUE(std::equal(mixed.begin(), mixed.end(), file.begin(), [](uint8_t a, char b) { return a == uint8_t(b); }));
  EXPECT_EQ(file.find_first_not_of('\0', 5 * MiB), std::string::npos);
  struct stat info;
  ASSERT_EQ(stat("new", &info), 0);
  EXPECT_LT(static_cast<uint64_t>(info.st_blocks) * 512, 4 * MiB) << "the zero runs take no room on the disk";

  WriteWholeFile("old", std::string(3 * MiB, 'o'));
  ASSERT_TRUE(OpenByteFile("old", 3));
  WriteBytesAt(3, 1, std::vector<uint8_t>(2 * MiB, 0));
  EXPECT_TRUE(CloseFile(3));
  file = ReadWholeFile("old");
  ASSERT_EQ(file.size(), 3 * MiB);
  EXPECT_EQ(file.find_first_not_of('\0'), 2 * MiB) << "zeros over the file's bytes are written";
}

TEST(ByteFiles, FailuresThatASaveMustSee) {
  testing::WorkingFolder folder;
  // Read-only: opened for reading; writes change nothing and the close says so.
  WriteWholeFile("ro", "keep");
  chmod("ro", 0444);
  ASSERT_TRUE(OpenByteFile("ro", 1));
  WriteBytesAt(1, 1, Bytes(4, 'x'));
  bool closed = CloseFile(1);
  if (geteuid() != 0) {  // root may write anyway
    EXPECT_FALSE(closed);
    EXPECT_EQ(ReadWholeFile("ro"), "keep");
  }
  // A full device fails at the flush.
  ASSERT_TRUE(OpenByteFile("/dev/full", 2));
  WriteBytesAt(2, 1, Bytes(100, 0));
  EXPECT_FALSE(CloseFile(2));
  // A folder cannot be opened at all.
  std::filesystem::create_directory("dir");
  EXPECT_FALSE(OpenByteFile("dir", 1));
  EXPECT_FALSE(FileSlotIsOpen(1));
  // Transfers on a free slot do nothing.
  std::vector<uint8_t> untouched(4, 9);
  ReadBytesAt(7, 1, untouched);
  EXPECT_EQ(untouched, std::vector<uint8_t>(4, 9));
}

}  // namespace
}  // namespace terrafix
