// Pictures of levels from the command line: the isometric picture of each
// level, of any size and format the editor opens, as NAME.png, with no window
// and no terminal.
//   terrafix --render LEVEL... [--out FOLDER] [--scale N|1/N] [--turn 0|90|180|270] [--jobs N]
// A picture too large for the machine at full size is drawn smaller (each
// pixel standing for a block of cells), at the largest of 1/2, 1/4, ... that
// fits, with a line that says so; --scale 1/N asks for that at once.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "commands/level_jobs.h"
#include "formats/header_template.h"

namespace terrafix {

constexpr int32_t LargestPictureScale = 16;

struct RenderPlan {
  std::vector<std::string> Levels;
  std::string OutFolder = ".";  // where NAME.png goes
  int32_t Scale = 1;
  int32_t Step = 0;             // 1/Step (1, 2, 4, ...) of the level; 0: the largest that fits
  int32_t Turn = 0;             // quarter turns
  int Jobs = DefaultJobCount();  // levels drawn at once
};

// The plan the arguments after --render ask for; false, with why, for
// arguments that ask for none.
bool PlanRender(const std::vector<std::string>& arguments, RenderPlan& plan, std::string& why);

// The file a level's picture is written to: its name without the ending, in
// the plan's folder.
std::string PictureFileOf(const std::string& level, const RenderPlan& plan);

// Draws one level's picture into its file. False, with the cause, when none
// was written.
bool RenderLevel(const std::string& level, const RenderPlan& plan, const HeaderTemplate& header, std::string& why);

// Runs the plan as RunLevelJobs runs jobs (the picture of each level into
// its file); returns the exit status.
int RunRender(const RenderPlan& plan, const HeaderTemplate& header);

}  // namespace terrafix
