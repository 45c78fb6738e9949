#include "console_editor.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "files/load_save_commands.h"

namespace terrafix::testing {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {
int Started = 0;
constexpr int LoadColumn = 46, SaveColumn = 53;
}  // namespace

ConsoleEditor::ConsoleEditor(const ConsoleStart& start) : Own(std::make_unique<WorkingFolder>()), Folder(Own->Path()) {
  Start(start);
}

ConsoleEditor::ConsoleEditor(const fs::path& folder, const ConsoleStart& start) : Folder(folder) { Start(start); }

void ConsoleEditor::Start(const ConsoleStart& start) {
  // Each editor has a tmux server of its own: one being killed must not be found by the next.
  SocketName = "terrafix-test-" + std::to_string(getpid()) + "-" + std::to_string(++Started);
  std::string pattern = (fs::temp_directory_path() / "terrafix-side-XXXXXX").string();
  SideFolder = mkdtemp(pattern.data());
  if (start.CopyTemplate) {
    fs::copy_file(fs::path(TERRAFIX_DATA) / "headers.dat", Folder / "headers.dat", fs::copy_options::skip_existing);
  }
  const std::string side = "'" + SideFolder.string() + "/";
  // The shell stays to report how the editor ended, even after Ctrl+C.
  std::string inside = "trap true INT; cd '" + Folder.string() + "' && stty -g > " + side + "before'; " +
                       start.Before + (start.Before.empty() ? "" : "; ") +
                       "env -u DISPLAY -u WAYLAND_DISPLAY ASAN_OPTIONS=detect_leaks=0 XDG_STATE_HOME=" + side +
                       "state' " + start.Environment + " " +
                       TERRAFIX_BINARY + " " + start.Arguments + " 2> " + side + "errors'; echo \\$? > " + side +
                       "status'; stty -g > " + side + "after'; echo shell again; sleep 600";
  Tmux("new-session -d -x 140 -y 80 -s editor \"" + inside + "\"");
}

ConsoleEditor::~ConsoleEditor() {
  Tmux("kill-server");
  std::error_code ignored;
  fs::remove_all(SideFolder, ignored);
}

void ConsoleEditor::Tmux(const std::string& command) {
  std::string line = "tmux -L " + SocketName + " " + command + " >/dev/null 2>&1";
  std::system(line.c_str());
}
void ConsoleEditor::Type(const std::string& text) { Tmux("send-keys -t editor -l '" + text + "'"); }
void ConsoleEditor::Key(const std::string& name) { Tmux("send-keys -t editor " + name); }
void ConsoleEditor::Enter() { Tmux("send-keys -t editor Enter"); }

bool ConsoleEditor::Click(int row, int column, const std::string& until) {
  if (!PointerReadAt(row, column)) return false;
  const std::string at = std::to_string(column) + ";" + std::to_string(row);
  SendBytes("\x1B[<0;" + at + "M");
  bool seen = until.empty() ? Shows(3, 43, "mx: " + std::to_string(8 * (column - 1) + 3) + " ") : Shows(1, 40, until);
  SendBytes("\x1B[<0;" + at + "m");
  return seen;
}

bool ConsoleEditor::PointerReadAt(int row, int column) {
  SendBytes("\x1B[<35;" + std::to_string(column) + ";" + std::to_string(row) + "M");
  return Shows(3, 43, "mx: " + std::to_string(8 * (column - 1) + 3) + " ");
}

void ConsoleEditor::SendBytes(const std::string& bytes) {
  std::string hex;
  char two[4];
  for (unsigned char b : bytes) std::snprintf(two, sizeof two, " %02x", b), hex += two;
  Tmux("send-keys -t editor -H" + hex);
}

std::vector<std::string> ConsoleEditor::Lines() {
  std::vector<std::string> lines;
  std::string screen = CommandOutput("tmux -L " + SocketName + " capture-pane -p -t editor");
  for (size_t start = 0, end; start < screen.size(); start = end + 1) {
    end = screen.find('\n', start);
    if (end == std::string::npos) end = screen.size();
    lines.push_back(screen.substr(start, end - start));
  }
  return lines;
}

std::string ConsoleEditor::At(int row, int column, int count) {
  std::vector<std::string> lines = Lines();
  std::string line = row <= static_cast<int>(lines.size()) ? lines[row - 1] : "";
  line.resize(std::max(line.size(), static_cast<size_t>(column - 1 + count)), ' ');
  return line.substr(column - 1, count);
}

bool ConsoleEditor::Shows(int row, int column, const std::string& text) {
  for (int i = 0; i < 100; ++i) {
    if (At(row, column, static_cast<int>(text.size())) == text) return true;
    std::this_thread::sleep_for(100ms);
  }
  return false;
}

bool ConsoleEditor::Ended() {
  std::error_code error;
  for (int i = 0; i < 100; ++i) {
    if (fs::file_size(SideFolder / "after", error) > 0 && !error) return true;
    std::this_thread::sleep_for(100ms);
  }
  return false;
}

int ConsoleEditor::EditorPid() {
  const std::string shell = CommandOutput("tmux -L " + SocketName + " list-panes -t editor -F '#{pane_pid}'");
  const std::string child = CommandOutput("pgrep -P " + std::to_string(std::atoi(shell.c_str())) + " -n");
  return std::atoi(child.c_str());
}

bool ConsoleEditor::Save(const std::string& name, const std::string& until) {
  if (!Click(1, SaveColumn, std::string(SavePrompt))) return false;
  Type(name);
  Enter();
  return Shows(1, 40, until);
}

bool ConsoleEditor::Load(const std::string& name, const std::string& until) {
  if (!Click(1, LoadColumn, std::string(LoadPrompt))) return false;
  Type(name);
  Enter();
  return Shows(1, 40, until);
}

}  // namespace terrafix::testing
