// The real program where no window can be opened: in a tmux pane with no
// display, typed at with send-keys, clicked at with mouse reports, and read
// back with capture-pane.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "memory_screen.h"

namespace terrafix::testing {

struct ConsoleStart {
  std::string Before{};     // shell commands run in the folder just before the editor
  std::string Environment{};  // VAR=value words for the editor
  std::string Arguments{};    // the editor's command line
  bool CopyTemplate = true; // headers.dat into the folder first
};

class ConsoleEditor {
 public:
  // In a fresh folder of its own.
  explicit ConsoleEditor(const ConsoleStart& start = {});
  // In `folder`, which the test keeps.
  ConsoleEditor(const std::filesystem::path& folder, const ConsoleStart& start);
  ~ConsoleEditor();
  ConsoleEditor(const ConsoleEditor&) = delete;
  ConsoleEditor& operator=(const ConsoleEditor&) = delete;

  // The working folder, and the folder beside it where the shell leaves how
  // the editor ended (status), the terminal's settings before and after it
  // (before, after) and what it wrote to standard error (errors); its state
  // folder, where it keeps unsaved work, is state/ there.
  const std::filesystem::path& Path() const { return Folder; }
  const std::filesystem::path& Side() const { return SideFolder; }
  const std::string& Socket() const { return SocketName; }

  void Tmux(const std::string& command);
  void Type(const std::string& text);
  void Key(const std::string& name);
  void Enter();
  // A press of the left button on text row `row`, column `column`, held until
  // the editor has seen it: until row 1 from column 40 shows `until`, or else
  // until the pointer readout shows the press's place. Then the release.
  bool Click(int row, int column, const std::string& until = "");
  // A move of the pointer with no button held, until the readout shows it.
  bool PointerReadAt(int row, int column);
  // Bytes as the terminal would send them (a mouse report).
  void SendBytes(const std::string& bytes);

  std::vector<std::string> Lines();
  // The text on `row` from `column` (both from 1), `count` characters, blanks past the end.
  std::string At(int row, int column, int count);
  // Waits up to 10 s for the text to show there.
  bool Shows(int row, int column, const std::string& text);
  // Waits up to 10 s for the shell to report how the editor ended.
  bool Ended();
  // The process id of the editor (its shell's child), or 0.
  int EditorPid();

  // The menu commands: a click on the square, the name, Enter; true once the
  // command has shown `until` on row 1 from column 40.
  bool Save(const std::string& name, const std::string& until);
  bool Load(const std::string& name, const std::string& until);

 private:
  void Start(const ConsoleStart& start);
  std::unique_ptr<WorkingFolder> Own;
  std::filesystem::path Folder;
  std::filesystem::path SideFolder;
  std::string SocketName;
};

// Row 1 from column 40 when no question or message is there.
inline const std::string MenuLine = " New   Load   Save   Quit";

}  // namespace terrafix::testing
