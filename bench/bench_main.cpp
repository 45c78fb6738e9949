// Benchmarks of the editor's own work: drawing a pass on the in-memory surface
// (no window), and its part of a save and a load, each set beside the floor
// it cannot beat (filling the frame once) or the compressor it works with.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "editor/main_loop.h"
#include "files/level_file.h"
#include "memory_screen.h"
#include "platform/byte_files.h"
#include "platform/screen.h"

namespace terrafix {
namespace {

namespace fs = std::filesystem;

// A level of varied tiles: terrain with caves, water, trees and ore-like
// specks, every cell value 0..255 somewhere.
const LevelGrid& VariedLevel() {
  static const std::unique_ptr<LevelGrid> grid = [] {
    auto g = std::make_unique<LevelGrid>();
    LayNewTerrain(*g);
    std::mt19937 random(7);
    const TileId common[] = {0, 0, 0, 1, 2, 3, 4, 5, 8, 10, 12, 13, 17, 18};
    for (int x = 0; x < 256; ++x)
      for (int y = 0; y < 256; ++y)
        for (int z = 0; z < 65; ++z) {
          int pick = static_cast<int>(random() % 100);
          if (pick < 30) WriteCell(*g, x, y, z, common[random() % std::size(common)]);
          else if (pick < 33) WriteCell(*g, x, y, z, static_cast<TileId>(random() % 256));
        }
    return g;
  }();
  return *grid;
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

// One pass of drawing, lock to unlock: BM_Pass/<ViewMode>/<Zoom>/<GridVisible>.
void BM_Pass(benchmark::State& state) {
  const LevelGrid& grid = VariedLevel();
  testing::FreshScreen();
  EditorState s;
  s.ViewMode = static_cast<int32_t>(state.range(0));
  s.Zoom = static_cast<int32_t>(state.range(1));
  s.GridVisible = static_cast<int32_t>(state.range(2));
  s.SliceX = 100;
  s.SliceY = 150;
  s.Layer = 28;
  for (auto _ : state) {
    DrawPass(s, grid);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Pass)->ArgsProduct({{1, 2, 3}, {1, 2, 3}, {0, 1}});

// The editor's part of a save: the whole uncompressed file written through a slot.
void BM_WriteLevelFile(benchmark::State& state) {
  testing::WorkingFolder folder;
  const LevelGrid& grid = VariedLevel();
  HeaderTemplate header;
  for (auto _ : state) {
    OpenByteFile("level", 2);
    WriteLevelFile(2, grid, header);
    CutFileAt(2, LevelFileLength);
    CloseFile(2);
  }
  state.SetBytesProcessed(state.iterations() * LevelFileLength);
}
BENCHMARK(BM_WriteLevelFile)->Unit(benchmark::kMillisecond);

// The editor's part of a load: the header read and every row of cells.
void BM_ReadLevelCells(benchmark::State& state) {
  testing::WorkingFolder folder;
  auto grid = std::make_unique<LevelGrid>(VariedLevel());
  HeaderTemplate header;
  OpenByteFile("level", 2);
  WriteLevelFile(2, *grid, header);
  CloseFile(2);
  for (auto _ : state) {
    OpenByteFile("level", 1);
    ReadBytesAt(1, 0, header.CompareBuffer);
    ReadLevelCells(1, *grid, header);
    CloseFile(1);
  }
  state.SetBytesProcessed(state.iterations() * LevelFileLength);
}
BENCHMARK(BM_ReadLevelCells)->Unit(benchmark::kMillisecond);

// The system gzip on the same level, compressing and decompressing, for scale.
void BM_GzipCompress(benchmark::State& state) {
  testing::WorkingFolder folder;
  HeaderTemplate header;
  OpenByteFile("level", 2);
  WriteLevelFile(2, VariedLevel(), header);
  CloseFile(2);
  for (auto _ : state) {
    if (std::system("gzip -c level > level.dat") != 0) state.SkipWithError("gzip failed");
  }
}
BENCHMARK(BM_GzipCompress)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GzipDecompress(benchmark::State& state) {
  testing::WorkingFolder folder;
  HeaderTemplate header;
  OpenByteFile("level", 2);
  WriteLevelFile(2, VariedLevel(), header);
  CloseFile(2);
  if (std::system("gzip -c level > level.dat") != 0) state.SkipWithError("gzip failed");
  for (auto _ : state) {
    if (std::system("gzip -dc level.dat > level.out") != 0) state.SkipWithError("gzip failed");
  }
}
BENCHMARK(BM_GzipDecompress)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace terrafix

BENCHMARK_MAIN();
