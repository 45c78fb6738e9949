// Levels worked on one after another from the command line (--convert,
// --render): each from its file into another, with no window and no terminal.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace terrafix {

struct LevelJob {
  std::string In, Out;
};

// Runs `work` on each job in turn. Standard error gets a progress line for
// each of several jobs ("[3/40] IN -> OUT"), one line for each that fails,
// naming its input and the cause (the others still run), and at the end how
// many were `notDone` ("levels not converted"). A signal that ends the
// program ends the run once the job under way has cleaned up after itself.
// Returns the exit status: 0 when every job was done, else 1.
int RunLevelJobs(const std::vector<LevelJob>& jobs, std::string_view notDone,
                 const std::function<bool(const LevelJob& job, std::string& why)>& work);

}  // namespace terrafix
