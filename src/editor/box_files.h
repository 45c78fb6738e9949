// Builds to and from files, the same in the window and the terminal:
//   e  writes the box to a file, a schematic unless the name's ending names
//      another format
//   p  puts the level of a file, of any format, in the clipboard, to be
//      pasted with v or t
#pragma once

#include <string_view>

#include "editor/editor_work.h"
#include "formats/header_template.h"
#include "level/editor_state.h"
#include "level/level.h"

namespace terrafix {

// Acts on the key of the pass, if it is e or p.
void HandleBoxFileKey(const EditorState& state, const Level& level, const HeaderTemplate& header, EditorWork& work,
                      std::string_view key);

}  // namespace terrafix
