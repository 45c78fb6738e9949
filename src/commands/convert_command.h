// Conversion from the command line: levels read by the editor's readers and
// written by its writers in the format each output's name asks for (any of
// the table's, level_formats.h), with no window and no terminal.
//   terrafix --convert [--force] [--jobs N] IN OUT [IN OUT]...
//   terrafix --convert [--force] [--jobs N] IN... --to FORMAT
#pragma once

#include <string>
#include <vector>

#include "commands/level_jobs.h"
#include "formats/header_template.h"

namespace terrafix {

struct ConversionPlan {
  std::vector<LevelJob> Conversions;
  bool Force = false;  // an existing output is replaced
  int Jobs = DefaultJobCount();  // levels converted at once
};

// The plan the arguments after --convert ask for; false, with why, for
// arguments that ask for none.
bool PlanConversions(const std::vector<std::string>& arguments, ConversionPlan& plan, std::string& why);

// One conversion, written as Save writes (temporaries, then one rename).
// False, with the cause, when the output was not written.
bool ConvertLevel(const LevelJob& conversion, bool force, const HeaderTemplate& header, std::string& why);

// Runs the plan as RunLevelJobs runs jobs; returns the exit status.
int RunConversions(const ConversionPlan& plan, const HeaderTemplate& header);

}  // namespace terrafix
