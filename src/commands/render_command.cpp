#include "commands/render_command.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "commands/level_jobs.h"
#include "display/level_overview.h"
#include "display/level_picture.h"
#include "files/level_loading.h"
#include "files/level_names.h"
#include "files/png_file.h"
#include "platform/files/temporary_files.h"
#include "platform/machine/machine_memory.h"
#include "platform/text/number_text.h"

namespace terrafix {

namespace {

// Bytes a picture takes while it is drawn and written, for each of its
// pixels: its colour and depth, the part shown and the bytes for libpng.
constexpr uint64_t BytesPerPixel = 16;

}  // namespace

bool PlanRender(const std::vector<std::string>& arguments, RenderPlan& plan, std::string& why) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    if (argument == "--out" && hasValue) {
      plan.OutFolder = arguments[++i];
    } else if (argument == "--scale" && hasValue) {
      const std::string& scale = arguments[++i];
      int32_t step = 0;
      if (scale.starts_with("1/") && ReadShortNumber(scale.substr(2), step) && step >= 2 && (step & (step - 1)) == 0 &&
          step <= LargestSide) {
        plan.Scale = 1, plan.Step = step;
      } else if (!ReadShortNumber(scale, plan.Scale) || plan.Scale < 1 || plan.Scale > LargestPictureScale) {
        why = "--scale takes 1 to " + std::to_string(LargestPictureScale) + ", or 1/2, 1/4, ... 1/16384, not '" +
              scale + "'";
        return false;
      } else {
        plan.Step = 1;
      }
    } else if (argument == "--jobs") {
      if (!ReadJobCount(arguments, i, plan.Jobs, why)) return false;
    } else if (argument == "--turn" && hasValue) {
      int32_t degrees = -1;
      if (!ReadShortNumber(arguments[++i], degrees) || degrees % 90 != 0 || degrees > 270) {
        why = "--turn takes 0, 90, 180 or 270, not '" + arguments[i] + "'";
        return false;
      }
      plan.Turn = degrees / 90;
    } else if (argument.starts_with("-") && argument != "-") {
      why = "unexpected argument '" + argument + "'";
      return false;
    } else {
      plan.Levels.push_back(argument);
    }
  }
  if (plan.Levels.empty()) {
    why = "--render needs the levels to draw";
    return false;
  }
  return true;
}

std::string PictureFileOf(const std::string& level, const RenderPlan& plan) {
  std::string name = std::filesystem::path(level).filename().string();
  name.resize(name.size() - FormEndingOf(name).size());
  return (std::filesystem::path(plan.OutFolder) / (name + ".png")).string();
}

namespace {

// "at scale 3", "at 1/4".
std::string ScaleText(int32_t scale, int32_t step) {
  return step > 1 ? "at 1/" + std::to_string(step) : "at scale " + std::to_string(scale);
}

// The step of the picture of a level of that size: the plan's, or where it
// leaves that to the machine, the least that fits; why not, when it does not fit.
int32_t StepFor(const RenderPlan& plan, int32_t width, int32_t length, int32_t height, std::string& why) {
  const uint64_t memory = MemoryForALevel();
  if (plan.Step == 0) return std::max(OverviewStep(width, length, height, plan.Scale, BytesPerPixel, memory), 1);
  const int32_t step = plan.Step;
  const uint64_t pixels = PicturePixels((width + step - 1) / step, (length + step - 1) / step,
                                        (height + step - 1) / step, plan.Scale);
  if (pixels * BytesPerPixel > memory) {
    why = "its picture " + ScaleText(plan.Scale, step) + " needs " + MemoryText(pixels * BytesPerPixel) +
          ", more than this machine has";
    return 0;
  }
  return step;
}

// The picture of the level in the file, drawn whole (at the plan's step, or
// smaller where it does not fit); false, with why, when the level cannot be
// read or its picture at the step asked for is more than this machine
// holds, which the size its file starts with tells before its cells are read.
bool DrawPictureOf(const std::string& file, const RenderPlan& plan, const HeaderTemplate& header,
                   LevelPicture& picture, std::string& why) {
  const LevelName name = NameOfLevelFile(file);
  if (const NameRefusal refusal = RefusalOf(name, false); refusal != NameRefusal::None) {
    why = TextsOf(refusal).Why;
    return false;
  }
  Level level;
  const SizeWanted fits = [&](int32_t width, int32_t length, int32_t height) {
    std::string tooLarge;
    StepFor(plan, width, length, height, tooLarge);
    return tooLarge;
  };
  const LevelReading reading = ReadLevelFile(name, header, level, fits);
  if (reading.Refusal != LevelRefusal::None) {
    why = reading.Why;
    return false;
  }
  const int32_t step = StepFor(plan, level.Width, level.Length, level.Height, why);
  if (step == 0) return false;
  if (step == 1) {
    DrawLevelPicture(level, plan.Scale, plan.Turn, picture);
    return true;
  }
  if (plan.Step == 0) {
    std::fprintf(stderr, "terrafix: %s: drawn at 1/%d: at full size its picture needs %s, more than this machine has\n",
                 file.c_str(), step,
                 MemoryText(PicturePixels(level.Width, level.Length, level.Height, plan.Scale) * BytesPerPixel).c_str());
  }
  Level overview;
  MakeOverview(level, step, overview);
  std::vector<uint8_t>().swap(level.Cells);  // the level's memory back before the picture takes its own
  DrawLevelPicture(overview, plan.Scale, plan.Turn, picture);
  return true;
}

}  // namespace

bool RenderLevel(const std::string& file, const RenderPlan& plan, const HeaderTemplate& header, std::string& why) {
  LevelPicture picture;  // (the level's memory is back once it is drawn)
  if (!DrawPictureOf(file, plan, header, picture, why)) return false;
  PictureArea shown = ShownArea(picture, 4 * plan.Scale);
  if (shown.Empty()) shown = {0, 0, 8 * plan.Scale, 8 * plan.Scale};  // a level of air: the margin alone
  const std::vector<uint32_t> part = PixelsOfArea(picture, shown);
  const std::string png = PictureFileOf(file, plan);
  if (WritePngFile(png, shown.Right - shown.Left, shown.Bottom - shown.Top, part, why)) return true;
  why = "cannot write " + png + ": " + why;  // (the level itself was read)
  return false;
}

int RunRender(const RenderPlan& plan, const HeaderTemplate& header) {
  std::error_code error;
  std::filesystem::create_directories(plan.OutFolder, error);
  if (error) {
    std::fprintf(stderr, "terrafix: cannot make the folder %s: %s\n", plan.OutFolder.c_str(), error.message().c_str());
    return 1;
  }
  RemoveAbandonedTemporaries(plan.OutFolder);  // what an interrupted command left there
  std::vector<LevelJob> jobs;
  for (const std::string& level : plan.Levels) {
    const std::string picture = PictureFileOf(level, plan);
    jobs.push_back({level, picture, {}, picture});
  }
  const JobTexts texts{"pictures not drawn", " is the picture of a level before it"};
  return RunLevelJobs(jobs, texts, plan.Jobs, [&](const LevelJob& job, std::string& why) {
    return RenderLevel(job.In, plan, header, why);
  });
}

}  // namespace terrafix
