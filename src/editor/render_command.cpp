#include "editor/render_command.h"

#include <cstdio>
#include <filesystem>
#include <set>

#include "display/level_picture.h"
#include "files/level_jobs.h"
#include "files/level_loading.h"
#include "files/level_names.h"
#include "files/png_file.h"
#include "platform/machine/machine_memory.h"

namespace terrafix {

namespace {

// Bytes a picture takes while it is drawn and written, for each of its
// pixels: its colour and depth, the part shown and the bytes for libpng.
constexpr uint64_t BytesPerPixel = 16;

bool ReadNumber(const std::string& text, int32_t& number) {
  if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  number = std::stoi(text);
  return true;
}

}  // namespace

bool PlanRender(const std::vector<std::string>& arguments, RenderPlan& plan, std::string& why) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    if (argument == "--out" && hasValue) {
      plan.OutFolder = arguments[++i];
    } else if (argument == "--scale" && hasValue) {
      if (!ReadNumber(arguments[++i], plan.Scale) || plan.Scale < 1 || plan.Scale > LargestPictureScale) {
        why = "--scale takes 1 to " + std::to_string(LargestPictureScale) + ", not '" + arguments[i] + "'";
        return false;
      }
    } else if (argument == "--turn" && hasValue) {
      int32_t degrees = -1;
      if (!ReadNumber(arguments[++i], degrees) || degrees % 90 != 0 || degrees > 270) {
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

// The picture of the level in the file, drawn whole; false, with why, when
// the level cannot be read or its picture is more than this machine holds.
bool DrawPictureOf(const std::string& file, const RenderPlan& plan, const HeaderTemplate& header,
                   LevelPicture& picture, std::string& why) {
  const LevelName name = NameOfLevelFile(file);
  if (RefusalOf(name, false) != NameRefusal::None) {
    why = "a link, a folder, another special file or headers.dat";
    return false;
  }
  Level level;
  const LevelReading reading = ReadLevelFile(name, header, level);
  if (reading.Refusal != LevelRefusal::None) {
    why = reading.Why;
    return false;
  }
  const int64_t s = plan.Scale, across = int64_t(level.Width) + level.Length;
  const uint64_t pixels = static_cast<uint64_t>(2 * s * across) * static_cast<uint64_t>(s * across + 2 * s * level.Height);
  if (pixels * BytesPerPixel > MemoryForALevel()) {
    why = "its picture at scale " + std::to_string(s) + " needs " + MemoryText(pixels * BytesPerPixel) +
          ", more than this machine has";
    return false;
  }
  DrawLevelPicture(level, plan.Scale, plan.Turn, picture);
  return true;
}

}  // namespace

bool RenderLevel(const std::string& file, const RenderPlan& plan, const HeaderTemplate& header, std::string& why) {
  LevelPicture picture;  // (the level's memory is back once it is drawn)
  if (!DrawPictureOf(file, plan, header, picture, why)) return false;
  PictureArea shown = ShownArea(picture, 4 * plan.Scale);
  if (shown.Empty()) shown = {0, 0, 8 * plan.Scale, 8 * plan.Scale};  // a level of air: the margin alone
  const std::vector<uint32_t> part = PixelsOfArea(picture, shown);
  return WritePngFile(PictureFileOf(file, plan), shown.Right - shown.Left, shown.Bottom - shown.Top, part, why);
}

int RunRender(const RenderPlan& plan, const HeaderTemplate& header) {
  std::error_code error;
  std::filesystem::create_directories(plan.OutFolder, error);
  if (error) {
    std::fprintf(stderr, "terrafix: cannot make the folder %s: %s\n", plan.OutFolder.c_str(), error.message().c_str());
    return 1;
  }
  std::vector<LevelJob> jobs;
  for (const std::string& level : plan.Levels) jobs.push_back({level, PictureFileOf(level, plan)});
  std::set<std::string> written;
  return RunLevelJobs(jobs, "pictures not drawn", [&](const LevelJob& job, std::string& why) {
    if (written.count(job.Out) != 0) {
      why = job.Out + " is the picture of a level before it";
      return false;
    }
    if (!RenderLevel(job.In, plan, header, why)) return false;
    written.insert(job.Out);
    return true;
  });
}

}  // namespace terrafix
