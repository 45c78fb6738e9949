// Conversion from the command line: levels read by the editor's readers and
// written by its writers in the form each output's name asks for (.dat, .cw,
// .lvl), with no window and no terminal.
//   terrafix --convert [--force] IN OUT [IN OUT]...
//   terrafix --convert [--force] IN... --to dat|cw|lvl
#pragma once

#include <string>
#include <vector>

#include "files/header_template.h"

namespace terrafix {

struct Conversion {
  std::string In, Out;
};

struct ConversionPlan {
  std::vector<Conversion> Conversions;
  bool Force = false;  // an existing output is replaced
};

// The plan the arguments after --convert ask for; false, with why, for
// arguments that ask for none.
bool PlanConversions(const std::vector<std::string>& arguments, ConversionPlan& plan, std::string& why);

// One conversion, written as Save writes (temporaries, then one rename).
// False, with the cause, when the output was not written.
bool ConvertLevel(const Conversion& conversion, bool force, const HeaderTemplate& header, std::string& why);

// Runs the plan: a progress line for each of several levels and one line
// for each that failed, on standard error; the others still convert.
// Returns the exit status: 0 when every level was converted, else 1.
int RunConversions(const ConversionPlan& plan, const HeaderTemplate& header);

}  // namespace terrafix
