#include "files/kept_work.h"

#include <unistd.h>  // the user's and the process's numbers

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <set>
#include <sstream>

#include "files/compressor.h"
#include "files/level_decompression.h"
#include "formats/level_file.h"
#include "platform/files/byte_files.h"
#include "platform/files/file_system.h"
#include "platform/files/temporary_files.h"
#include "platform/programs/run_program.h"

namespace terrafix {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view NoteTitle = "Terrafix kept work";
constexpr std::string_view NamePrefix = "unsaved-";
constexpr std::string_view OfferedEnding = ".kept";        // not offered yet
constexpr std::string_view DeclinedEnding = ".declined";   // offered once, declined
constexpr std::string_view AsideEnding = ".unreadable";    // not a level: the user's to look at
// What an earlier version of the editor kept: one level for all editors.
constexpr const char* OldLevelFile = "recovery.dat";
constexpr const char* OldNoteFile = "recovery.txt";
constexpr int KeepSlot = 3;  // not a command's: the editor may be ending in the middle of one
constexpr size_t LargestNote = 64 * 1024;
constexpr unsigned PrivateFileMode = 0600;

// The state folders, in the order they are tried.
std::vector<std::string> StateFolders() {
  std::vector<std::string> folders;
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state && *state == '/') folders.push_back(std::string(state) + "/terrafix");
  const char* home = std::getenv("HOME");
  if (home && *home == '/') folders.push_back(std::string(home) + "/.local/state/terrafix");
  const char* temporary = std::getenv("TMPDIR");
  const std::string base = temporary && *temporary == '/' ? temporary : "/tmp";
  folders.push_back(base + "/terrafix-" + std::to_string(getuid()));
  return folders;
}

std::string NoteText(const KeptWork& work) {
  std::ostringstream text;
  text << NoteTitle << "\ntime " << work.Time << "\nfolder " << work.Folder << "\nlevel " << work.Level << "\n";
  return text.str();
}

// The lines of a note: "time", "folder", "level" (and "declined", in an
// earlier version's note).
void ReadNote(std::string_view text, KeptWork& work) {
  std::istringstream lines{std::string(text)};
  for (std::string line; std::getline(lines, line);) {
    const size_t blank = line.find(' ');
    const std::string key = line.substr(0, blank), value = blank == std::string::npos ? "" : line.substr(blank + 1);
    if (key == "time") work.Time = std::strtoll(value.c_str(), nullptr, 10);
    if (key == "folder") work.Folder = value;
    if (key == "level") work.Level = value;
    if (key == "declined") work.Declined = value == "1";
  }
}

std::string KeptName(const std::string& folder, int64_t time, long process, std::string_view ending) {
  return folder + "/" + std::string(NamePrefix) + std::to_string(time) + "-" + std::to_string(process) +
         std::string(ending);
}

// The note, its end, then the compressed level, into a temporary of
// `folder` that becomes the kept file.
bool KeepIn(const std::string& folder, const Level& level, const HeaderTemplate& header, const KeptWork& note,
            std::string& where, std::string& why) {
  RemoveAbandonedTemporaries(folder);
  TemporaryFile uncompressed, kept;
  bool done = MakeTemporary(uncompressed, why, folder) && OpenByteFile(uncompressed.Name, KeepSlot);
  if (done) {
    WriteLevelFile(KeepSlot, level, header);
    done = CloseFile(KeepSlot);
    if (!done) why = std::string("write: ") + std::strerror(errno);
  }
  done = done && MakeTemporary(kept, why, folder);
  if (done && !WriteWhole(kept.Fd, NoteText(note) + '\0')) {
    why = std::string("write: ") + std::strerror(errno);
    done = false;
  }
  if (done) {
    // The compressor writes on from where the note ends.
    const int result = CompressInto(uncompressed.Name, kept.Fd, false, Compression::Kept);
    if (result != 0) why = DescribeProgramResult(CompressingProgram(), result);
    where = KeptName(folder, note.Time, static_cast<long>(getpid()), OfferedEnding);
    done = result == 0 && PutTemporaryInPlace(kept, where, why, PrivateFileMode);
  }
  RemoveTemporary(kept);
  RemoveTemporary(uncompressed);
  return done;
}

// What an earlier version kept (recovery.dat and its note) becomes kept work
// of today's form, so that it is offered as before.
void AdoptOldKeptWork(const std::string& folder) {
  const std::string level = folder + "/" + OldLevelFile, noteFile = folder + "/" + OldNoteFile;
  const int fd = OpenAlone(level);
  if (fd < 0) return;
  std::vector<uint8_t> compressed, note;
  std::string why;
  KeptWork work;
  work.Time = ChangedTime(fd);
  if (ReadFileStart(noteFile, note, LargestNote, why)) ReadNote({reinterpret_cast<const char*>(note.data()), note.size()}, work);
  TemporaryFile kept;
  const bool adopted = ReadFileStart(level, compressed, LargestLevelFile, why) && MakeTemporary(kept, why, folder) &&
                       WriteWhole(kept.Fd, NoteText(work) + '\0') &&
                       WriteWhole(kept.Fd, {reinterpret_cast<const char*>(compressed.data()), compressed.size()}) &&
                       PutTemporaryInPlace(kept, KeptName(folder, work.Time, 0, work.Declined ? DeclinedEnding
                                                                                              : OfferedEnding),
                                           why, PrivateFileMode);
  RemoveTemporary(kept);
  if (adopted) {
    RemoveFile(level);
    RemoveFile(noteFile);
  }
  CloseDescriptor(fd);
}

// The kept work of one folder.
void FindIn(const std::string& folder, std::vector<KeptWork>& found) {
  for (const std::string& entry : NamesIn(folder)) {
    const std::string_view name = entry;
    const bool declined = name.ends_with(DeclinedEnding);
    if (!name.starts_with(NamePrefix) || !(declined || name.ends_with(OfferedEnding))) continue;
    KeptWork work;
    work.File = folder + "/" + std::string(name);
    std::vector<uint8_t> start;
    std::string why;
    if (KindOfFile(work.File) != FileKind::Regular || !ReadFileStart(work.File, start, LargestNote, why)) continue;
    const std::string_view text(reinterpret_cast<const char*>(start.data()), start.size());
    const size_t end = text.find('\0');
    if (end == std::string_view::npos || !text.starts_with(NoteTitle)) continue;  // not kept work
    ReadNote(text.substr(0, end), work);
    work.Declined = declined;
    work.LevelOffset = end + 1;
    found.push_back(std::move(work));
  }
}

// `work` under a name with another ending (its folder and time kept).
void Rename(const KeptWork& work, std::string_view ending) {
  const size_t dot = work.File.find_last_of('.');
  const std::string renamed = work.File.substr(0, dot) + std::string(ending);
  MoveFile(work.File, renamed);
}

}  // namespace

bool KeepWork(const Level& level, const HeaderTemplate& header, std::string& where, std::string& why) {
  KeptWork note;
  note.Time = static_cast<int64_t>(std::time(nullptr));
  note.Folder = CurrentFolder();
  note.Level = level.Name;
  why = "no state folder can be made";
  for (const std::string& folder : StateFolders()) {
    if (MakePrivateFolder(folder) && KeepIn(folder, level, header, note, where, why)) return true;
  }
  return false;
}

std::vector<KeptWork> FindKeptWork() {
  std::vector<KeptWork> found;
  std::set<fs::path> seen;  // two names of one folder (a link, or XDG_STATE_HOME at ~/.local/state)
  for (const std::string& folder : StateFolders()) {
    std::error_code error;
    const fs::path real = fs::canonical(folder, error);
    if (error || !seen.insert(real).second) continue;
    RemoveAbandonedTemporaries(folder);  // what an editor killed while keeping its work left
    AdoptOldKeptWork(folder);
    FindIn(folder, found);
  }
  std::stable_sort(found.begin(), found.end(), [](const KeptWork& a, const KeptWork& b) { return a.Time > b.Time; });
  return found;
}

bool TakeKeptWork(KeptWork& work) {
  work.Fd = OpenAlone(work.File);
  return work.Fd >= 0;
}

bool ReadKeptWork(const KeptWork& work, Level& read, const HeaderTemplate& header, std::string& why) {
  std::vector<uint8_t> file;
  const Decompressor fromTheKeptFile = [&](std::vector<uint8_t>& bytes, size_t limit, const OutputStart& start) {
    if (!SeekTo(work.Fd, static_cast<int64_t>(work.LevelOffset))) return ProgramCannotStart;
    return DecompressFrom(work.Fd, bytes, limit, start);
  };
  LevelReading reading = DecompressLevel(fromTheKeptFile, header, file);
  if (reading.Refusal == LevelRefusal::None) reading = ReadLevelBytes(file, header, read, reading.Format);
  why = reading.Why;
  return reading.Refusal == LevelRefusal::None;
}

void DeclineKeptWork(KeptWork& work) {
  if (work.Declined) return RemoveKeptWork(work);
  Rename(work, DeclinedEnding);
  ReleaseKeptWork(work);
}

void SetKeptWorkAside(KeptWork& work) {
  Rename(work, AsideEnding);
  ReleaseKeptWork(work);
}

void RemoveKeptWork(KeptWork& work) {
  RemoveFile(work.File);
  ReleaseKeptWork(work);
}

void ReleaseKeptWork(KeptWork& work) {
  CloseDescriptor(work.Fd);
  work.Fd = -1;
}

std::string KeptTimeText(int64_t time) {
  const std::time_t t = static_cast<std::time_t>(time);
  std::tm local{};
  localtime_r(&t, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  return text;
}

}  // namespace terrafix
