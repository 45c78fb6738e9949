#include "commands/convert_command.h"

#include <cstdio>
#include <filesystem>
#include <set>

#include "files/level_loading.h"
#include "files/level_names.h"
#include "files/level_saving.h"
#include "platform/files/file_system.h"
#include "platform/files/temporary_files.h"

namespace terrafix {

namespace {

// "CW" as "cw".
std::string LowerCaseAscii(std::string text) {
  for (char& c : text) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  return text;
}

// "castle.lvl" with --to dat: "castle.dat", in the same folder.
std::string OutputFor(const std::string& in, std::string_view ending) {
  std::string stem = in;
  stem.resize(in.size() - FormEndingOf(in).size());
  return stem + std::string(ending);
}

}  // namespace

bool PlanConversions(const std::vector<std::string>& arguments, ConversionPlan& plan, std::string& why) {
  std::vector<std::string> names;
  std::string to;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--force") {
      plan.Force = true;
    } else if (argument == "--jobs") {
      if (!ReadJobCount(arguments, i, plan.Jobs, why)) return false;
    } else if (argument == "--to") {
      if (i + 1 == arguments.size()) {
        why = "--to needs a format: " + ListOfEndings(" or ", false);
        return false;
      }
      to = LowerCaseAscii("." + arguments[++i]);
      if (FormEndingOf(to) != to) {
        why = "--to takes " + ListOfEndings(" or ", false) + ", not '" + arguments[i] + "'";
        return false;
      }
    } else if (argument.starts_with("-") && argument != "-") {
      why = "unexpected argument '" + argument + "'";
      return false;
    } else {
      names.push_back(argument);
    }
  }
  if (names.empty()) {
    why = "--convert needs the levels to convert";
    return false;
  }
  if (!to.empty()) {
    for (const std::string& in : names) plan.Conversions.push_back({in, OutputFor(in, FormEndingOf(to)), {}, {}});
    return true;
  }
  if (names.size() % 2 != 0) {
    why = "--convert takes pairs of IN OUT, or levels and --to FORMAT";
    return false;
  }
  for (size_t i = 0; i < names.size(); i += 2) plan.Conversions.push_back({names[i], names[i + 1], {}, {}});
  return true;
}

bool ConvertLevel(const LevelJob& conversion, bool force, const HeaderTemplate& header, std::string& why) {
  const std::string_view ending = FormEndingOf(conversion.Out);
  if (ending.empty()) {
    why = "the name to write " + conversion.Out + " has no ending of a level (" + ListOfEndings(" or ") + ")";
    return false;
  }
  const LevelName in = NameOfLevelFile(conversion.In);
  const LevelName out = NameOfLevelFile(conversion.Out);
  if (const NameRefusal refusal = RefusalOf(in, false); refusal != NameRefusal::None) {
    why = TextsOf(refusal).Why;
    return false;
  }
  if (const NameRefusal refusal = RefusalOf(out, true); refusal != NameRefusal::None) {
    why = conversion.Out + ": " + std::string(TextsOf(refusal).Why);
    return false;
  }
  if (!force && KindOfFile(out.Compressed()) != FileKind::Missing) {
    why = conversion.Out + " exists (--force replaces it)";
    return false;
  }
  Level level;
  const LevelReading reading = ReadLevelFile(in, header, level);
  if (reading.Refusal != LevelRefusal::None) {
    why = reading.Why;
    return false;
  }
  // What the reading changed, as Load says it (the blocks of a later game mapped).
  if (!reading.Said.empty()) std::fprintf(stderr, "terrafix: %s: %s\n", conversion.In.c_str(), reading.Said.c_str());
  if (!WriteLevelAs(out, level, header, why)) {
    why = conversion.Out + ": " + why;
    return false;
  }
  return true;
}

int RunConversions(const ConversionPlan& plan, const HeaderTemplate& header) {
  // Each input and output as a place on the disk, however it was spelled.
  auto place = [](const std::string& name) {
    std::error_code error;
    const std::filesystem::path file = std::filesystem::absolute(NameOfLevelFile(name).Compressed(), error);
    return std::filesystem::weakly_canonical(file, error).string();
  };
  std::vector<LevelJob> conversions = plan.Conversions;
  for (LevelJob& job : conversions) job.Reads = place(job.In), job.Writes = place(job.Out);
  // What an interrupted command left where this one writes goes first, once a folder.
  std::set<std::string> folders;
  for (const LevelJob& job : conversions) folders.insert(FolderOf(job.Out));
  for (const std::string& folder : folders) RemoveAbandonedTemporaries(folder);
  const JobTexts texts{"levels not converted", " is written by a level before it in this run"};
  return RunLevelJobs(conversions, texts, plan.Jobs, [&](const LevelJob& job, std::string& why) {
    return ConvertLevel(job, plan.Force, header, why);
  });
}

}  // namespace terrafix
