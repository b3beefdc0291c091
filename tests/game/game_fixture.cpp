// The headless game fixture: a temporary working folder per test, the shell's start-up
// order, a clean slate of every game global, and frame helpers.
#include "tests/game/game_fixture.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "gfx/GFX.h"
#include "main/MAIN.h"
#include "platform/headless.h"
#include "platform/platform.h"

namespace orbolan_test {

namespace fs = std::filesystem;
namespace hl = plat::headless;

namespace {

// Every global of the game back to the value it has when the program starts.
void Clear_Game_Globals() {
  std::memset(PlayField, 0, sizeof PlayField);
  for (auto& column : PlayField)
    for (auto& cell : column) {
      cell.move_pos = {AT_REST, AT_REST};
      cell.old_pos = {-1, -1};
    }
  game_type = bubbles_marked = number_bubbles_marked = bubble_points = 0;
  game_score = {};
  game_busy = waitanim = highscore = undo = undo_score = 0;
  setup_data = {};
  score_statistic = {};
  mode = last_mode = main_btn_mask = 0;
  std::memset(buttons, 0, sizeof buttons);
  button_ctr = pressed_button = 0;
  game_initialized = 0;
}

// A 24-bit bottom-up BMP, enough for a person to look at a failing frame.
void Write_Bmp(const Picture& p, const std::string& path) {
  const int row = (p.width * 3 + 3) / 4 * 4;
  const uint32 image = static_cast<uint32>(row * p.height);
  std::vector<std::uint8_t> file(54 + image, 0);
  auto put32 = [&](std::size_t at, uint32 v) {
    for (int k = 0; k < 4; ++k) file[at + k] = static_cast<std::uint8_t>(v >> (8 * k));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<uint32>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32>(p.width));
  put32(22, static_cast<uint32>(p.height));
  file[26] = 1;
  file[28] = 24;
  put32(34, image);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const uint32 c = p.at(x, y);
      std::uint8_t* d = &file[54 + static_cast<std::size_t>(p.height - 1 - y) * row + 3 * x];
      d[0] = static_cast<std::uint8_t>(c);
      d[1] = static_cast<std::uint8_t>(c >> 8);
      d[2] = static_cast<std::uint8_t>(c >> 16);
    }
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()),
                                              static_cast<std::streamsize>(file.size()));
}

void Put_Int32(std::ofstream& out, int32 v) {
  const uint32 u = static_cast<uint32>(v);
  const char bytes[4] = {static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF),
                         static_cast<char>((u >> 16) & 0xFF), static_cast<char>(u >> 24)};
  out.write(bytes, 4);
}

}  // namespace

void Write_Cfg_File(const CfgValues& v) {
  std::ofstream out("orbolan.cfg", std::ios::binary | std::ios::trunc);
  Put_Int32(out, v.game_type);
  Put_Int32(out, v.play_sounds);
  Put_Int32(out, v.animations);
  for (int32 s : v.stats) Put_Int32(out, s);
}

std::vector<std::uint8_t> Read_File(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Picture Grab(LPDIRECTDRAWSURFACE s, int width, int height) {
  Picture p;
  p.width = width;
  p.height = height;
  p.pixels.resize(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      p.pixels[static_cast<std::size_t>(y) * width + x] = hl::surface_pixel(s, x, y);
  return p;
}

Picture Grab_Frame() { return Grab(v_screen, 494, 420); }

Picture Grab_Window() {
  Picture p;
  p.width = 493;
  p.height = 419;
  p.pixels.resize(static_cast<std::size_t>(p.width) * p.height);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
      p.pixels[static_cast<std::size_t>(y) * p.width + x] = hl::window_pixel(x, y);
  return p;
}

int32 Pattern_Colour(int32 i, int32 j) { return (i + 2 * j) % 4 + 1; }

void GameTest::SetUp() {
  old_dir_ = fs::current_path().string();
  char tmpl[] = "/tmp/orbolan-game-test-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  work_dir_ = tmpl;
  fs::current_path(work_dir_);
  // The sounds lie next to the program in the build tree; the game opens them by bare
  // name from its working folder, as the real program does.
  const fs::path sounds = ORBOLAN_SOUND_DIR;
  if (fs::is_directory(sounds)) {
    for (const char* name : {"intro.wav", "click.wav", "pop.wav", "megapop.wav", "score.wav",
                             "higscore.wav"}) {
      const fs::path from = fs::path(sounds) / name;
      if (fs::exists(from)) fs::copy_file(from, name);
    }
  }
  hl::reset();
  Clear_Game_Globals();
}

void GameTest::TearDown() {
  hl::reset();
  Clear_Game_Globals();
  fs::current_path(old_dir_);
  std::error_code ignored;
  fs::remove_all(work_dir_, ignored);
}

void GameTest::Start(const CfgValues* cfg) {
  if (cfg != nullptr) Write_Cfg_File(*cfg);
  ASSERT_EQ(DirectDrawInit(nullptr, 1), 1);
  std::lock_guard lock(plat::world_lock());
  TIMER_ID = plat::time_set_event(25, 0, animate, 0, TIME_PERIODIC);
  v_screen = CreateOffScreenSurface(dd_Object, 494, 420);
  Game_Init();
}

void GameTest::Start_With(int32 game_type_, int32 sounds, int32 animations) {
  CfgValues v;
  v.game_type = game_type_;
  v.play_sounds = sounds;
  v.animations = animations;
  Start(&v);
}

void GameTest::Restart(const CfgValues* cfg) {
  hl::reset();
  Clear_Game_Globals();
  Start(cfg);
}

void GameTest::Pump() { hl::pump(); }

void GameTest::Click(int x, int y) {
  hl::click(x, y);
  Pump();
}

void GameTest::Click_Button(int32 id) {
  ASSERT_GE(id, 1);
  ASSERT_LE(id, button_ctr);
  Click(buttons[id].topleft.x + 31, buttons[id].topleft.y + 19);
}

void GameTest::Set_Board(const std::function<int32(int32, int32)>& colour) {
  std::lock_guard lock(plat::world_lock());
  for (int32 j = 0; j < FIELD_ROWS; ++j)
    for (int32 i = 0; i < FIELD_COLUMNS; ++i)
      PlayField[i][j] = sBUBBLE_FIELD{colour(i, j), {AT_REST, AT_REST}, {-1, -1}, 0};
  bubbles_marked = number_bubbles_marked = bubble_points = 0;
  Create_Screen();
}

std::string GameTest::Save_Picture(const Picture& picture, const std::string& what) {
  const fs::path dir = ORBOLAN_FAILURE_DIR;
  std::error_code ignored;
  fs::create_directories(dir, ignored);
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const fs::path path =
      dir / (std::string(info->test_suite_name()) + "." + info->name() + "." + what + ".bmp");
  Write_Bmp(picture, path.string());
  return path.string();
}

}  // namespace orbolan_test
