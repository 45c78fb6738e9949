// Benchmarks of the editor's own work: drawing a pass on the in-memory surface
// (no window), and its part of a save and a load, each set beside the floor
// it cannot beat (filling the frame once) or the compressor it works with.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "display/level_picture.h"
#include "editor/box_edits.h"
#include "editor/fill_and_pick.h"
#include "editor/main_loop.h"
#include "editor/undo_history.h"
#ifdef TERRAFIX_PICTURES
#include "commands/render_command.h"
#endif
#include "commands/convert_command.h"
#include "files/compressor.h"
#include "files/kept_work.h"
#include "files/load_save_commands.h"
#include "formats/level_file.h"
#include "memory_screen.h"
#include "platform/files/byte_files.h"
#include "platform/machine/machine_memory.h"
#include "platform/programs/run_program.h"
#include "platform/screen/screen.h"

namespace terrafix {
namespace {

namespace fs = std::filesystem;

// A level of varied tiles: terrain with caves, water, trees and ore-like
// specks, every cell value 0..255 somewhere.
const Level& VariedLevel() {
  static const std::unique_ptr<Level> grid = [] {
    auto g = std::make_unique<Level>();
    LayNewTerrain(*g);
    std::mt19937 random(7);
    const TileId common[] = {0, 0, 0, 1, 2, 3, 4, 5, 8, 10, 12, 13, 17, 18};
    for (int x = 0; x < 256; ++x)
      for (int y = 0; y < 256; ++y)
        for (int z = 0; z < 64; ++z) {
          int pick = static_cast<int>(random() % 100);
          if (pick < 30) WriteCell(*g, x, y, z, common[random() % std::size(common)]);
          else if (pick < 33) WriteCell(*g, x, y, z, static_cast<TileId>(random() % 256));
        }
    return g;
  }();
  return *grid;
}

// A level of 1024 x 1024 x 256 (256 MiB of cells), all air.
std::unique_ptr<Level> LargeAirLevel() {
  auto l = std::make_unique<Level>();
  l->Width = 1024, l->Length = 1024, l->Height = 256;
  l->Cells.assign(PlanCells(*l) * 256, 0);
  l->TopPlane.assign(PlanCells(*l), 0);
  return l;
}

// A level of 1024 x 1024 x 256, of terrain as new up to height 31 with
// varied tiles in its upper part.
const Level& LargeLevel() {
  static const std::unique_ptr<Level> level = [] {
    auto l = LargeAirLevel();
    std::fill(l->Cells.begin(), l->Cells.begin() + static_cast<std::ptrdiff_t>(PlanCells(*l) * 26), 1);
    std::fill(l->Cells.begin() + static_cast<std::ptrdiff_t>(PlanCells(*l) * 26),
              l->Cells.begin() + static_cast<std::ptrdiff_t>(PlanCells(*l) * 32), 3);
    std::mt19937 random(11);
    for (int i = 0; i < 2'000'000; ++i) {
      WriteCell(*l, static_cast<int>(random() % 1024), static_cast<int>(random() % 1024),
                32 + static_cast<int>(random() % 200), static_cast<TileId>(random() % 50));
    }
    return l;
  }();
  return *level;
}

void BM_FrameFill(benchmark::State& state) {
  testing::FreshScreen();
  uint32_t colour = 0xFF000000;
  for (auto _ : state) {
    uint32_t* frame = FramePixels();
    std::fill(frame, frame + ScreenWidth * ScreenHeight, colour++);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * ScreenWidth * ScreenHeight * 4);
}
BENCHMARK(BM_FrameFill);

// The game's template, as the program carries it.
HeaderTemplate GameTemplate() {
  HeaderTemplate header;
  header.TemplateFile.clear();  // none to read: the built-in one
  ReadHeaderTemplate(header);
  return header;
}

// A level file, uncompressed, as a save writes it.
void WriteUncompressed(const char* name, const Level& grid, const HeaderTemplate& header = GameTemplate()) {
  OpenByteFile(name, 2);
  WriteLevelFile(2, grid, header);
  CloseFile(2);
}

// gzip alone, as a command runs it, its output into the file `to`.
int GzipAlone(const std::vector<std::string>& arguments, const char* to) {
  const int fd = open(to, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const int result = RunProgramAndWait(CompressorProgram(), arguments, {.ToFile = fd});
  close(fd);
  return result;
}

// The view options of a pass benchmark: <ViewMode>/<Zoom>/<GridVisible>.
EditorState ViewOptionsOf(const benchmark::State& state) {
  EditorState s;
  s.ViewMode = static_cast<int32_t>(state.range(0));
  s.Zoom = static_cast<int32_t>(state.range(1));
  s.GridVisible = static_cast<int32_t>(state.range(2));
  return s;
}

// Draws whole passes, lock to unlock, of the varied level (or the large one)
// in state `s`.
void DrawPasses(benchmark::State& state, const EditorState& s, bool large = false) {
  const Level& grid = large ? LargeLevel() : VariedLevel();
  testing::FreshScreen();
  for (auto _ : state) {
    DrawPass(s, grid);
    benchmark::ClobberMemory();
  }
}

// One pass of drawing, lock to unlock: BM_Pass/<ViewMode>/<Zoom>/<GridVisible>.
void BM_Pass(benchmark::State& state) {
  EditorState s = ViewOptionsOf(state);
  s.SliceX = 100;
  s.SliceY = 150;
  s.Layer = 28;
  DrawPasses(state, s);
}
BENCHMARK(BM_Pass)->ArgsProduct({{1, 2, 3}, {1, 2, 3}, {0, 1}});

// The same pass with a box shown, crossing every view's slice, with its
// message on row 1: set beside BM_Pass of the same arguments.
void BM_PassWithABox(benchmark::State& state) {
  EditorState s = ViewOptionsOf(state);
  s.SliceX = 100;
  s.SliceY = 150;
  s.Layer = 28;
  s.BoxShown = 1;
  s.Box = {50, 60, 10, 200, 220, 40};
  const Level& grid = VariedLevel();
  testing::FreshScreen();
  for (auto _ : state) {
    DrawPass(s, grid, "Filled 1,234,567 cells");
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PassWithABox)->ArgsProduct({{1}, {1, 3}, {0}});

// The same over a level of 1024 x 1024 x 256, panned into its middle: the
// views draw what they show, as many cells as of a level of 256 x 256 x 64.
void BM_PassOfALargeLevel(benchmark::State& state) {
  EditorState s = ViewOptionsOf(state);
  s.SliceX = 600;
  s.SliceY = 450;
  s.Layer = 140;
  s.PanX = 400, s.PanY = 300, s.PanZ = 100;
  DrawPasses(state, s, true);
}
BENCHMARK(BM_PassOfALargeLevel)->ArgsProduct({{1, 2, 3}, {1, 2, 3}, {0, 1}});


// The same with the slices and the layer at their edges:
// BM_PassAtEdges/<ViewMode>/<Zoom>/<GridVisible>/<place>, place 0 for side
// view A at x 254, B at y 255 (no plane behind) and layer 0 (none below),
// place 1 for x 255, y 254 and layer 64.
void BM_PassAtEdges(benchmark::State& state) {
  EditorState s = ViewOptionsOf(state);
  const bool first = state.range(3) == 0;
  s.SliceX = first ? 254 : 255;
  s.SliceY = first ? 255 : 254;
  s.Layer = first ? 0 : NewLevelHeight;
  DrawPasses(state, s);
}
BENCHMARK(BM_PassAtEdges)->ArgsProduct({{1, 2, 3}, {1, 2, 3}, {0, 1}, {0, 1}});

// Only reading the two cells of every column that the top view shows (layer
// 28 and the layer below): 65,536 reads of two neighbouring layers. A second
// floor, beside BM_FrameFill, for the passes with a top view.
void BM_TopLayerRead(benchmark::State& state) {
  const Level& grid = VariedLevel();
  const size_t plan = PlanCells(grid);
  for (auto _ : state) {
    uint32_t sum = 0;
    const uint8_t* cell = grid.Cells.data() + CellIndex(grid, 0, 0, 28);
    for (size_t i = 0; i < plan; ++i) sum += static_cast<uint32_t>(cell[i] + cell[i - plan]);
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_TopLayerRead);

// Building in boxes on a level of 1024 x 1024 x 256 with a box of the whole
// level, each set beside a memcpy of the box's cells (BM_BoxMemcpy/0/*; /1/*
// is a box of 512 x 512 x 256, the clipboard the turn turns): /*/0 into a
// buffer already in memory, /*/1 into one made for it on large pages, as an
// undo step or a clipboard is. Each operation builds its undo step (a byte
// or a bit a cell) as the editor does; the step is dropped with the iteration.
void BM_BoxMemcpy(benchmark::State& state) {
  const size_t cells = state.range(0) == 0 ? LargeLevel().Cells.size() : size_t(512) * 512 * 256;
  std::vector<uint8_t> from(LargeLevel().Cells.begin(), LargeLevel().Cells.begin() + static_cast<std::ptrdiff_t>(cells));
  std::vector<uint8_t> warm(cells);
  for (auto _ : state) {
    if (state.range(1) == 0) {
      std::memcpy(warm.data(), from.data(), cells);
    } else {
      std::vector<uint8_t> fresh;
      fresh.reserve(cells);
      AdviseLargePages(fresh.data(), cells);
      fresh.insert(fresh.end(), from.begin(), from.end());
      benchmark::DoNotOptimize(fresh.data());
    }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_BoxMemcpy)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);

// A level of 1024 x 1024 x 256 whose lower half is air but for a million
// specks of stone, and whose upper half is stone: a flood fill of the air
// covers half of it.
const Level& HalfOpenLevel() {
  static const std::unique_ptr<Level> level = [] {
    auto l = LargeAirLevel();
    std::fill(l->Cells.begin() + static_cast<std::ptrdiff_t>(PlanCells(*l) * 128), l->Cells.end(), 1);
    std::mt19937 random(13);
    for (int i = 0; i < 1'000'000; ++i) {
      WriteCell(*l, static_cast<int>(random() % 1024), static_cast<int>(random() % 1024), 1 + static_cast<int>(random() % 127), 1);
    }
    return l;
  }();
  return *level;
}

enum BoxBench { Fill, Clear, Copy, Paste, Replace, Flood, Turn };

void BM_BoxOperation(benchmark::State& state) {
  const auto which = static_cast<BoxBench>(state.range(0));
  auto level = std::make_unique<Level>(which == Flood ? HalfOpenLevel() : LargeLevel());
  const CellBox box = WholeLevel(*level);
  Clipboard clip;
  if (which == Paste) CopyBox(*level, box, clip);
  if (which == Turn) CopyBox(*level, {0, 0, 0, 511, 511, 255}, clip);
  uint8_t tile = 8;
  size_t changed = 0;
  for (auto _ : state) {
    switch (which) {
      case Fill: benchmark::DoNotOptimize(FillBox(*level, box, 5)); break;
      case Clear: benchmark::DoNotOptimize(FillBox(*level, box, 0)); break;
      case Copy: CopyBox(*level, box, clip); break;
      case Paste: benchmark::DoNotOptimize(PasteClipboard(*level, clip, 0, 0, 0, false, box)); break;
      case Replace:  // stone by water and back: a tenth of the level each time
        benchmark::DoNotOptimize(ReplaceInBox(*level, box, tile == 8 ? 1 : 8, tile, changed));
        tile = tile == 8 ? 1 : 8;
        break;
      case Flood:  // the air by water and back
        benchmark::DoNotOptimize(FloodFill(*level, box, 0, 0, 0, tile == 8 ? 8 : 0, changed));
        tile = tile == 8 ? 0 : 8;
        break;
      case Turn: TurnClipboard(clip, true); break;
    }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_BoxOperation)->DenseRange(Fill, Turn)->Unit(benchmark::kMillisecond);

// One undo (or redo: the same swap) of a stroke of 1,000 cells, and of a Load
// or a New (the whole level-file region): each iteration swaps the step's
// cells into the grid once. Set beside BM_FrameFill: the undo shows in the
// next pass.
void BM_UndoStroke(benchmark::State& state) {
  auto grid = std::make_unique<Level>(VariedLevel());
  UndoHistory history;
  for (int i = 0; i < 1000; ++i) {
    const size_t index = CellIndex(*grid, i % 256, (i * 7) % 256, 30 + i % 20);
    RecordPaint(history, index, grid->Cells[index]);
    grid->Cells[index] = 5;
  }
  EndStroke(history);
  for (auto _ : state) {
    if (!Undo(history, *grid)) Redo(history, *grid);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_UndoStroke);

void BM_UndoLevel(benchmark::State& state) {
  auto grid = std::make_unique<Level>(VariedLevel());
  UndoHistory history;
  Level terrain;
  LayNewTerrain(terrain);
  ReplaceLevel(*grid, std::move(terrain), history);
  for (auto _ : state) {
    if (!Undo(history, *grid)) Redo(history, *grid);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_UndoLevel)->Unit(benchmark::kMillisecond);

// A rectangle fill of a whole slice (argument 0: the top view's layer,
// 65,536 cells; 1: side view A's plane, 16,384 cells; 2: the top view's
// layer of a 1024 x 1024 x 256 level, 1,048,576 cells), alternating two
// tiles so that every cell changes, its undo step pushed each time. Set
// beside each other per cell (items per second).
void BM_FillSlice(benchmark::State& state) {
  const bool large = state.range(0) == 2;
  auto grid = std::make_unique<Level>(large ? LargeLevel() : VariedLevel());
  UndoHistory history;
  EditorState s;
  s.Layer = 40;
  const bool top = state.range(0) != 1;
  const SliceView view = top ? SliceView::Top : SliceView::SideA;
  const int32_t lastV = top ? grid->Length - 1 : grid->Height - 1;
  TileId tile = 1;
  for (auto _ : state) {
    tile = 3 - tile;
    FillRectangle(s, view, 0, 0, (top ? grid->Width : grid->Length) - 1, lastV, tile, *grid, history);
    benchmark::ClobberMemory();
  }
  const size_t cells = top ? PlanCells(*grid) : size_t(grid->Length) * size_t(grid->Height);
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(cells));
}
BENCHMARK(BM_FillSlice)->Arg(0)->Arg(1);
BENCHMARK(BM_FillSlice)->Arg(2)->Iterations(20);

// The undo and redo of a fill of the top view's whole layer.
void BM_UndoFill(benchmark::State& state) {
  auto grid = std::make_unique<Level>(VariedLevel());
  UndoHistory history;
  EditorState s;
  s.Layer = 40;
  FillRectangle(s, SliceView::Top, 0, 0, grid->Width - 1, grid->Length - 1, 1, *grid, history);
  for (auto _ : state) {
    if (!Undo(history, *grid)) Redo(history, *grid);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_UndoFill);

// The editor's part of a save: the whole uncompressed file written through a slot.
void BM_WriteLevelFile(benchmark::State& state) {
  testing::WorkingFolder folder;
  const Level& grid = VariedLevel();
  HeaderTemplate header;
  for (auto _ : state) {
    OpenByteFile("level", 2);
    WriteLevelFile(2, grid, header);
    CloseFile(2);
  }
  state.SetBytesProcessed(state.iterations() * LevelFileLength);
}
BENCHMARK(BM_WriteLevelFile)->Unit(benchmark::kMillisecond);

// The editor's part of a load once the level is in memory: the header check
// and the cells.
void BM_ReadTemplateLevel(benchmark::State& state) {
  testing::WorkingFolder folder;
  auto grid = std::make_unique<Level>(VariedLevel());
  HeaderTemplate header;
  WriteUncompressed("level", *grid);
  const std::string file = testing::ReadWholeFile("level");
  const std::span bytes(reinterpret_cast<const uint8_t*>(file.data()), file.size());
  for (auto _ : state) {
    HeaderMatches(bytes, header);
    ReadTemplateLevel(bytes, *grid);
  }
  state.SetBytesProcessed(state.iterations() * LevelFileLength);
}
BENCHMARK(BM_ReadTemplateLevel)->Unit(benchmark::kMillisecond);

// A level as new, with a few painted cells: what gzip packs tightest.
const Level& TerrainLevel() {
  static const std::unique_ptr<Level> grid = [] {
    auto g = std::make_unique<Level>();
    LayNewTerrain(*g);
    for (int i = 0; i < 4000; ++i) WriteCell(*g, (i * 37) % 256, (i * 91) % 256, 20 + i % 40, 1 + i % 18);
    return g;
  }();
  return *grid;
}

// The isometric picture of a 256 x 256 x 64 level (new terrain with a few
// painted cells), drawn whole: compare with BM_Pass.
void BM_LevelPicture(benchmark::State& state) {
  LevelPicture picture;
  for (auto _ : state) {
    DrawLevelPicture(TerrainLevel(), 1, static_cast<int32_t>(state.range(0)), picture);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_LevelPicture)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The picture redrawn after a change of one cell on the ground.
void BM_PictureRedrawOneCell(benchmark::State& state) {
  Level level = TerrainLevel();
  LevelPicture picture;
  DrawLevelPicture(level, 1, 0, picture);
  TileId tile = 1;
  for (auto _ : state) {
    tile = 5 - tile;
    WriteCell(level, 100, 120, 32, tile);
    RedrawCells(level, 100, 120, 32, 100, 120, 32, picture);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PictureRedrawOneCell)->Unit(benchmark::kMicrosecond);

// Kind 4: the large level of 1024 x 1024 x 256; kind 6: the terrain of the
// server's level (kind 2) tiled to that size; kind 7: one of noisy rock.
constexpr int64_t LargeKind = 4, TiledKind = 6, NoisyKind = 7;
const Level& TiledLevel();
const Level& NoisyLevel();
const Level& LevelOfKind(int64_t kind) {
  switch (kind) {
    case 0: return VariedLevel();
    case LargeKind: return LargeLevel();
    case TiledKind: return TiledLevel();
    case NoisyKind: return NoisyLevel();
    default: return TerrainLevel();
  }
}

// Kind 2: a level a server of the game saved, of another variant than
// headers.dat's, loaded into `grid` and `header`.
constexpr int64_t ServersLevel = 2;
void LoadServersLevel(Level& grid, const HeaderTemplate& header) {
  fs::copy_file(fs::path(TERRAFIX_FIXTURES) / "classic-level-334.dat", "level.dat", fs::copy_options::overwrite_existing);
  testing::ScriptKeys(testing::FreshScreen(), "level\r");
  LoadCommand(grid, header);
}

const Level& TiledLevel() {
  static const std::unique_ptr<Level> level = [] {
    testing::WorkingFolder folder;
    auto servers = std::make_unique<Level>();
    LoadServersLevel(*servers, GameTemplate());
    auto l = LargeAirLevel();
    for (int z = 0; z < 256; ++z)
      for (int y = 0; y < 1024; ++y)
        for (int x = 0; x < 1024; ++x) WriteCell(*l, x, y, z, ReadCell(*servers, x % 256, y % 256, z % 64));
    return l;
  }();
  return *level;
}

// Rock of a few kinds of cells at random up to height 63, specks above.
const Level& NoisyLevel() {
  static const std::unique_ptr<Level> level = [] {
    auto l = LargeAirLevel();
    std::mt19937 random(13);
    const TileId rock[] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 3, 3, 3, 13, 14, 15, 16};
    for (size_t i = 0; i < PlanCells(*l) * 64; ++i) l->Cells[i] = rock[random() % std::size(rock)];
    for (int i = 0; i < 2'000'000; ++i) {
      WriteCell(*l, static_cast<int>(random() % 1024), static_cast<int>(random() % 1024),
                64 + static_cast<int>(random() % 192), static_cast<TileId>(1 + random() % 40));
    }
    return l;
  }();
  return *level;
}

// Kind 3: the level of kind 0, as a ClassicWorld, level.cw; kind 5: the same
// as a server map, level.lvl; kind 8: the large level (kind 4) as a
// schematic of 1024 x 256 x 1024, level.schematic.
constexpr int64_t WorldLevel = 3, MapLevel = 5, SchematicLevel = 8;
bool SavedAsItsFormat(int64_t kind) { return kind == WorldLevel || kind == MapLevel || kind == SchematicLevel; }
const Level& GridOfKind(int64_t kind) {
  return LevelOfKind(kind == SchematicLevel ? LargeKind : kind == WorldLevel || kind == MapLevel ? 0 : kind);
}
std::string TypedName(int64_t kind) {
  return kind == WorldLevel ? "level.cw" : kind == MapLevel ? "level.lvl" : kind == SchematicLevel ? "level.schematic" : "level";
}
std::string CompressedName(int64_t kind) { return SavedAsItsFormat(kind) ? TypedName(kind) : "level.dat"; }

// The level in the template's form, compressed by gzip alone as level.dat.
void WriteCompressedLevel(const Level& level, benchmark::State& state) {
  WriteUncompressed("level", level);
  if (GzipAlone({"-c", "-n", "level"}, "level.dat") != 0) state.SkipWithError("gzip failed");
  fs::remove("level");
}

// A compressed level of the benchmark's kind, for loads.
void MakeCompressedLevel(benchmark::State& state) {
  if (SavedAsItsFormat(state.range(0))) {
    const HeaderTemplate header = GameTemplate();
    testing::ScriptKeys(testing::FreshScreen(), TypedName(state.range(0)) + "\rk");
    Level level = GridOfKind(state.range(0));
    if (!SaveCommand(level, header)) state.SkipWithError("not saved");
    return;
  }
  if (state.range(0) == ServersLevel) {
    fs::copy_file(fs::path(TERRAFIX_FIXTURES) / "classic-level-334.dat", "level.dat");
    return;
  }
  WriteCompressedLevel(LevelOfKind(state.range(0)), state);
}

// Save and Load against the same gzip run alone, in pairs: each iteration
// times the command and the compressor alone on the same file, one right
// after the other (the order swapped every other time), so that both meet the
// machine in the same state. Reported: the command's time, and `ratio`, the
// command's total time over the compressor's.
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

template <typename Command, typename Alone>
void TimeInPairs(benchmark::State& state, Command command, Alone alone) {
  double commandTotal = 0, aloneTotal = 0;
  std::vector<double> pairRatios;
  bool commandFirst = true;
  for (auto _ : state) {
    double c = 0, a = 0;
    if (commandFirst) {
      c = command();
      a = alone();
    } else {
      a = alone();
      c = command();
    }
    commandFirst = !commandFirst;
    commandTotal += c;
    aloneTotal += a;
    pairRatios.push_back(c / a);
    state.SetIterationTime(c);
  }
  state.counters["ratio"] = commandTotal / aloneTotal;
  // The VM now and then stalls a run for tens of milliseconds, in either
  // arm; the median pair is not moved by such a stall.
  std::nth_element(pairRatios.begin(), pairRatios.begin() + pairRatios.size() / 2, pairRatios.end());
  state.counters["median_ratio"] = pairRatios[pairRatios.size() / 2];
}

// BM_SaveAgainstGzip/<level>/<typing>: with <typing> milliseconds between
// the prompt and the Enter key, as a user takes to type the name, and the
// time taken from the Enter key on; with 0 the keys come all at once.
void BM_SaveAgainstGzip(benchmark::State& state) {
  testing::WorkingFolder folder;
  auto servers = std::make_unique<Level>();
  const HeaderTemplate header = GameTemplate();
  if (state.range(0) == ServersLevel) LoadServersLevel(*servers, header);
  Level grid = state.range(0) == ServersLevel ? *servers : GridOfKind(state.range(0));
  const std::string typed = TypedName(state.range(0)), compressed = CompressedName(state.range(0));
  const auto typing = std::chrono::milliseconds(state.range(1));
  MemorySurface& surface = testing::FreshScreen();
  auto command = [&] {
    fs::remove(compressed);
    testing::ScriptKeys(surface, typed + "\rk");
    auto start = Clock::now();
    surface.OnGather = [&] {
      if (typing.count() > 0 && surface.ScriptedKeys.size() == 2 && surface.ScriptedKeys.front() == '\r') {
        std::this_thread::sleep_for(typing);
        start = Clock::now();
      }
    };
    SaveCommand(grid, header);
    const double seconds = SecondsSince(start);
    surface.OnGather = nullptr;
    ReadKey();
    if (!fs::exists(compressed)) state.SkipWithError("not saved");
    return seconds;
  };
  WriteUncompressed("source", grid, header);  // not "level": a save refuses a name whose file is not a level of the template
  if (state.range(0) == SchematicLevel) {
    // gzip alone on the same file as the save's: the schematic, its Data with it.
    command();
    if (std::system("gzip -d -c level.schematic > source") != 0) state.SkipWithError("gzip failed");
  }
  auto alone = [&] {
    const auto start = Clock::now();
    if (GzipAlone({"-c", "-n", "source"}, "alone.dat") != 0) state.SkipWithError("gzip failed");
    return SecondsSince(start);
  };
  TimeInPairs(state, command, alone);
  // The saved file's size over gzip's (of the same cells, in the game's format).
  state.counters["size_ratio"] = static_cast<double>(fs::file_size(compressed)) / static_cast<double>(fs::file_size("alone.dat"));
}
BENCHMARK(BM_SaveAgainstGzip)->Args({0, 0})->Iterations(10)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_SaveAgainstGzip)->Args({1, 0})->Args({1, 50})->Iterations(80)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_SaveAgainstGzip)->Args({ServersLevel, 0})->Args({WorldLevel, 0})->Args({MapLevel, 0})->Iterations(20)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_SaveAgainstGzip)->Args({LargeKind, 0})->Args({TiledKind, 0})->Args({NoisyKind, 0})->Iterations(4)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_SaveAgainstGzip)->Args({SchematicLevel, 0})->Iterations(4)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_LoadAgainstGzip(benchmark::State& state) {
  testing::WorkingFolder folder;
  auto grid = std::make_unique<Level>();
  const HeaderTemplate header = GameTemplate();
  MakeCompressedLevel(state);
  MemorySurface& surface = testing::FreshScreen();
  const std::string typed = TypedName(state.range(0)), compressed = CompressedName(state.range(0));
  auto command = [&] {
    testing::ScriptKeys(surface, typed + "\r");
    const auto start = Clock::now();
    LoadCommand(*grid, header);
    return SecondsSince(start);
  };
  auto alone = [&] {
    const auto start = Clock::now();
    if (GzipAlone({"-d", "-c", compressed}, "alone") != 0) state.SkipWithError("gzip failed");
    return SecondsSince(start);
  };
  TimeInPairs(state, command, alone);
  const bool loaded = state.range(0) == ServersLevel ? grid->Form.Header.size() == 334
                                                     : grid->Cells == GridOfKind(state.range(0)).Cells;
  if (!loaded) state.SkipWithError("not loaded");
}
BENCHMARK(BM_LoadAgainstGzip)->Arg(0)->Iterations(80)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_LoadAgainstGzip)->Arg(1)->Iterations(80)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_LoadAgainstGzip)->Arg(ServersLevel)->Arg(WorldLevel)->Arg(MapLevel)->Iterations(40)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_LoadAgainstGzip)->Arg(LargeKind)->Arg(TiledKind)->Arg(NoisyKind)->Arg(SchematicLevel)->Iterations(4)->Unit(benchmark::kMillisecond)->UseManualTime();

// A conversion of the 1024 x 1024 x 256 level from the game's format to a
// server map, as --convert does it, against gzip's decompression of the same
// file followed by its compression of what came out.
void BM_ConvertAgainstGzip(benchmark::State& state) {
  testing::WorkingFolder folder;
  const HeaderTemplate header = GameTemplate();
  WriteCompressedLevel(LargeLevel(), state);
  auto command = [&] {
    fs::remove("level.lvl");
    const auto start = Clock::now();
    std::string why;
    if (!ConvertLevel({"level.dat", "level.lvl", {}, {}}, false, header, why)) state.SkipWithError(why.c_str());
    return SecondsSince(start);
  };
  auto alone = [&] {
    const auto start = Clock::now();
    if (GzipAlone({"-d", "-c", "level.dat"}, "alone") != 0 || GzipAlone({"-c", "-n", "alone"}, "alone.gz") != 0) {
      state.SkipWithError("gzip failed");
    }
    return SecondsSince(start);
  };
  TimeInPairs(state, command, alone);
}
BENCHMARK(BM_ConvertAgainstGzip)->Iterations(4)->Unit(benchmark::kMillisecond)->UseManualTime();

// Unsaved work kept as the editor ends (its kept file in the working
// folder), of a large level of the benchmark's kind.
void BM_KeepWork(benchmark::State& state) {
  testing::WorkingFolder folder;
  setenv("XDG_STATE_HOME", fs::current_path().c_str(), 1);
  const HeaderTemplate header = GameTemplate();
  const Level& level = LevelOfKind(state.range(0));
  for (auto _ : state) {
    std::string where, why;
    const auto start = Clock::now();
    if (!KeepWork(level, header, where, why)) state.SkipWithError(why.c_str());
    state.SetIterationTime(SecondsSince(start));
    fs::remove(where);
  }
  unsetenv("XDG_STATE_HOME");
}
BENCHMARK(BM_KeepWork)->Arg(LargeKind)->Arg(TiledKind)->Arg(NoisyKind)->Iterations(4)->Unit(benchmark::kMillisecond)->UseManualTime();

// --convert of 8 levels of 256 x 256 x 64 (the server's, as ClassicWorlds)
// with --jobs <n>, against the same with --jobs 1: `ratio` as above.
void BM_ConvertJobs(benchmark::State& state) {
  testing::WorkingFolder folder;
  const HeaderTemplate header = GameTemplate();
  ConversionPlan plan;
  for (int i = 0; i < 8; ++i) {
    const std::string name = "level" + std::to_string(i);
    fs::copy_file(fs::path(TERRAFIX_FIXTURES) / "classic-level-334.dat", name + ".dat");
    plan.Conversions.push_back({name + ".dat", name + ".cw", {}, {}});
  }
  plan.Force = true;
  // The progress lines go nowhere while it runs.
  const int errors = dup(STDERR_FILENO), nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
  auto convert = [&](int jobs) {
    plan.Jobs = jobs;
    dup2(nowhere, STDERR_FILENO);
    const auto start = Clock::now();
    const int status = RunConversions(plan, header);
    const double seconds = SecondsSince(start);
    dup2(errors, STDERR_FILENO);
    if (status != 0) state.SkipWithError("not converted");
    return seconds;
  };
  TimeInPairs(state, [&] { return convert(static_cast<int>(state.range(0))); }, [&] { return convert(1); });
  close(nowhere);
  close(errors);
}
BENCHMARK(BM_ConvertJobs)->Arg(2)->Iterations(10)->Unit(benchmark::kMillisecond)->UseManualTime();

#ifdef TERRAFIX_PICTURES
// The picture of the 1024 x 1024 x 256 level as --render draws and writes
// it, against gzip's decompression of the level alone.
void BM_RenderAgainstGzip(benchmark::State& state) {
  testing::WorkingFolder folder;
  const HeaderTemplate header = GameTemplate();
  WriteCompressedLevel(LargeLevel(), state);
  RenderPlan plan;
  plan.Levels = {"level.dat"};
  auto command = [&] {
    const auto start = Clock::now();
    std::string why;
    if (!RenderLevel("level.dat", plan, header, why)) state.SkipWithError(why.c_str());
    return SecondsSince(start);
  };
  auto alone = [&] {
    const auto start = Clock::now();
    if (GzipAlone({"-d", "-c", "level.dat"}, "alone") != 0) state.SkipWithError("gzip failed");
    return SecondsSince(start);
  };
  TimeInPairs(state, command, alone);
}
BENCHMARK(BM_RenderAgainstGzip)->Iterations(4)->Unit(benchmark::kMillisecond)->UseManualTime();
#endif

}  // namespace
}  // namespace terrafix

BENCHMARK_MAIN();
