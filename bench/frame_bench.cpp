// Benchmarks of the real game code on the headless platform: the board frame composed and
// presented during an animation against a plain copy of one frame, one animation tick, a
// move of each game type and an undo. Prints the frame's cost in frame copies.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "game/GAME.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "tests/support/harness.h"

// ---- Allocation counter: a frame should allocate nothing ------------------------------------

static std::atomic<long> allocations{0};

// The replacement pair below is matched (malloc with free); GCC cannot see that once the
// library's own operator delete calls are inlined against ours.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t n) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

constexpr int FRAME_W = 494, FRAME_H = 420;
constexpr unsigned BOARD_SEED = 20240611;

int Cell_Centre_X(int i) { return 48 * i + 8 + 23; }
int Cell_Centre_Y(int j) { return 48 * j + 8 + 23; }

// The game, started once for every benchmark, in a folder of its own with no sounds.
struct Game {
  Game() : dir("bench") {
    plat::headless::reset();
    proof::Clear_Game_Globals();
    if (!proof::Start_Game()) std::abort();
  }
  ~Game() { plat::headless::reset(); }
  proof::Work_Dir dir;
};

Game& game() {
  static Game g;
  return g;
}

// A fresh random board of the given type on screen, nothing selected, animations on.
void Deal(int32 type) {
  game();
  setup_data = {type, 0, 1};
  std::srand(BOARD_SEED);
  change_mode(MODE_GAME);
}

// Selects the first group of two or more, in reading order (from the bottom row up with
// `from_bottom`, so that its removal lets the bubbles above fall); false when there is none.
bool Select_A_Group(bool from_bottom = false) {
  for (int32 row = 0; row < FIELD_ROWS; ++row) {
    const int32 j = from_bottom ? FIELD_ROWS - 1 - row : row;
    for (int32 i = 0; i < FIELD_COLUMNS; ++i) {
      Check_Bubbles_Clicked(Cell_Centre_X(i), Cell_Centre_Y(j));
      if (bubbles_marked != 0) return true;
    }
  }
  return false;
}

// Mid-animation: every bubble half a cell above its home and sliding in.
void Displace_All() {
  for (int32 i = 0; i < FIELD_COLUMNS; ++i)
    for (int32 j = 0; j < FIELD_ROWS; ++j) PlayField[i][j].move_pos = {48 * i + 8, 48 * j + 8 - 24};
  game_busy = 1;
}

// ---- The frame and its yardstick ----------------------------------------------------------

void BM_FrameCopy(benchmark::State& state) {
  std::vector<std::uint32_t> from(FRAME_W * FRAME_H, 0x123456u), to(FRAME_W * FRAME_H);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), to.size() * sizeof(std::uint32_t));
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<long>(to.size() * 4));
}
BENCHMARK(BM_FrameCopy)->Unit(benchmark::kMicrosecond);

// The whole board frame, as the first frame of the board or any frame after another screen:
// every bubble half a cell from home, a group outlined.
void BM_BoardFrameAnimating(benchmark::State& state) {
  Deal(0);
  if (!Select_A_Group()) state.SkipWithError("no group on the board");
  Displace_All();
  if (Count_Bubbles() != FIELD_COLUMNS * FIELD_ROWS) state.SkipWithError("board not full");
  const long before = allocations.load();
  for (auto _ : state) {
    board_drawn.valid = 0;  // no board frame stands: it is composed whole
    Create_Game_Screen();   // composes, then presents to the window
  }
  state.counters["allocs_per_frame"] =
      static_cast<double>(allocations.load() - before) / static_cast<double>(state.iterations());
  state.counters["bubbles"] = Count_Bubbles();
  state.counters["outlined"] = number_bubbles_marked;
}
BENCHMARK(BM_BoardFrameAnimating)->Unit(benchmark::kMicrosecond);

// The presenting share of the frame: the composed frame handed to the window alone.
void BM_PresentFrame(benchmark::State& state) {
  Deal(0);
  for (auto _ : state) Update_Screen();
}
BENCHMARK(BM_PresentFrame)->Unit(benchmark::kMicrosecond);

// ---- The tick ------------------------------------------------------------------------------

void BM_TickAnimating(benchmark::State& state) {
  Deal(0);
  Displace_All();
  sBUBBLE_FIELD start[FIELD_COLUMNS][FIELD_ROWS];
  std::memcpy(start, PlayField, sizeof start);
  const long before = allocations.load();
  for (auto _ : state) {
    animate(0, 0, 0, 0, 0);  // steps every bubble and draws the frame
    if (game_busy == 0) {    // the slide is over: start it again, off the clock
      state.PauseTiming();
      std::memcpy(PlayField, start, sizeof start);
      game_busy = 1;
      state.ResumeTiming();
    }
  }
  state.counters["allocs_per_tick"] =
      static_cast<double>(allocations.load() - before) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_TickAnimating)->Unit(benchmark::kMicrosecond);

// A tick of a real slide: a group removed by two presses, then every tick until the bubbles
// rest, each redrawing the frame where it changed; the next deal and move are off the clock.
void BM_SlideTick(benchmark::State& state) {
  const int32 type = static_cast<int32>(state.range(0));
  static const char* const names[] = {"normal", "continuous", "shifter", "megashift"};
  state.SetLabel(names[type]);
  auto move = [&state, type] {
    Deal(type);
    if (!Select_A_Group(true)) return state.SkipWithError("no group on the board");
    for (int32 c = 0; c < FIELD_COLUMNS * FIELD_ROWS; ++c)
      if (PlayField[c % FIELD_COLUMNS][c / FIELD_COLUMNS].marked) {
        Check_Bubbles_Clicked(Cell_Centre_X(c % FIELD_COLUMNS), Cell_Centre_Y(c / FIELD_COLUMNS));
        break;
      }
  };
  move();
  long ticks = 0, slides = 0;
  for (auto _ : state) {
    animate(0, 0, 0, 0, 0);
    ++ticks;
    if (game_busy == 0) {
      state.PauseTiming();
      ++slides;
      move();
      state.ResumeTiming();
    }
  }
  state.counters["ticks_per_slide"] =
      static_cast<double>(ticks) / static_cast<double>(std::max(slides, 1L));
}
BENCHMARK(BM_SlideTick)->Arg(0)->Arg(3)->Unit(benchmark::kMicrosecond);

void BM_TickIdle(benchmark::State& state) {
  Deal(0);
  const int presents = plat::headless::present_count();
  for (auto _ : state) animate(0, 0, 0, 0, 0);
  state.counters["frames_drawn"] = plat::headless::present_count() - presents;
}
BENCHMARK(BM_TickIdle)->Unit(benchmark::kNanosecond);

// ---- Moves and undo ------------------------------------------------------------------------

// One move: the second press on a selected group, which removes it, lets the board settle
// by the rules of the type, scores and redraws. The deal and the first press are off the clock.
void BM_Move(benchmark::State& state) {
  const int32 type = static_cast<int32>(state.range(0));
  static const char* const names[] = {"normal", "continuous", "shifter", "megashift"};
  state.SetLabel(names[type]);
  for (auto _ : state) {
    state.PauseTiming();
    Deal(type);
    const bool selected = Select_A_Group();
    const int32 i = Cell_Centre_X(0), j = Cell_Centre_Y(0);
    int32 x = i, y = j;
    for (int32 c = 0; c < FIELD_COLUMNS * FIELD_ROWS; ++c)
      if (PlayField[c % FIELD_COLUMNS][c / FIELD_COLUMNS].marked) {
        x = Cell_Centre_X(c % FIELD_COLUMNS);
        y = Cell_Centre_Y(c / FIELD_COLUMNS);
        break;
      }
    state.ResumeTiming();
    if (!selected) {
      state.SkipWithError("no group on the board");
      break;
    }
    Check_Bubbles_Clicked(x, y);
  }
}
BENCHMARK(BM_Move)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

void BM_Undo(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    Deal(1);
    const bool selected = Select_A_Group();
    for (int32 c = 0; selected && c < FIELD_COLUMNS * FIELD_ROWS; ++c)
      if (PlayField[c % FIELD_COLUMNS][c / FIELD_COLUMNS].marked) {
        Check_Bubbles_Clicked(Cell_Centre_X(c % FIELD_COLUMNS), Cell_Centre_Y(c / FIELD_COLUMNS));
        break;
      }
    state.ResumeTiming();
    if (undo == 0) {
      state.SkipWithError("no move to take back");
      break;
    }
    Undo_Move();
  }
}
BENCHMARK(BM_Undo)->Unit(benchmark::kMicrosecond);

// ---- The ratio -----------------------------------------------------------------------------

// The console report, and at its end the board frame's cost counted in frame copies, by
// CPU time (what the frame costs this process) and by wall time (what else ran counts too).
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
      if (r.run_type == Run::RT_Iteration || median)
        times_[r.run_name.function_name + (r.run_name.args.empty() ? "" : "/" + r.run_name.args)] =
            {r.GetAdjustedCPUTime(), r.GetAdjustedRealTime()};
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const auto copy = times_.find("BM_FrameCopy");
    const auto frame = times_.find("BM_BoardFrameAnimating");
    const auto present = times_.find("BM_PresentFrame");
    if (copy == times_.end() || frame == times_.end()) return;
    const Times& c = copy->second;
    const Times& f = frame->second;
    if (c.cpu <= 0 || c.real <= 0) return;
    std::printf("\nframe copy (494 x 420):             %8.1f us CPU %8.1f us wall\n", c.cpu,
                c.real);
    std::printf("board frame, composed and presented: %8.1f us CPU %8.1f us wall\n", f.cpu, f.real);
    if (present != times_.end()) {
      const Times& p = present->second;
      std::printf("  of which presenting:               %8.1f us CPU (%.2f frame copies)\n", p.cpu,
                  p.cpu / c.cpu);
    }
    std::printf("ratio: %.2f frame copies by CPU time, %.2f by wall time (a whole frame)\n",
                f.cpu / c.cpu, f.real / c.real);
    if (const auto tick = times_.find("BM_TickAnimating"); tick != times_.end())
      std::printf("tick, all 70 bubbles sliding:        %8.1f us CPU (%.2f frame copies)\n",
                  tick->second.cpu, tick->second.cpu / c.cpu);
    static const char* const slides[][2] = {{"BM_SlideTick/0", "normal"},
                                            {"BM_SlideTick/3", "megashift"}};
    for (const auto& [key, name] : slides)
      if (const auto tick = times_.find(key); tick != times_.end())
        std::printf(
            "tick of a slide after a move, %-9s %6.1f us CPU (%.2f frame copies; target: "
            "at most 1.5)\n",
            name, tick->second.cpu, tick->second.cpu / c.cpu);
  }

 private:
  struct Times {
    double cpu = 0, real = 0;
  };
  std::map<std::string, Times> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
