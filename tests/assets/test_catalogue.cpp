// The embedded pictures: every id at its size, keys exactly outside the shapes, the frame
// lines and painted-in buttons of the background, faces that visibly press.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <queue>

#include "bmp_reader.h"
#include "game/ORBOLAN.h"

namespace {

constexpr std::uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF, kMagenta = 0xFF00FF;

struct Entry {
  int id, w, h;
};
const Entry kCatalogue[] = {
    {IDB_BACKGROUND, 494, 420}, {IDB_PAPER_LOGO, 482, 338}, {IDB_PAPER, 482, 338}, {IDB_TITLE, 457, 114},
    {IDB_SCORE_TABLE, 351, 227}, {IDB_GAME_SCORE_TABLE, 205, 223}, {IDB_SETUP_MAP, 347, 181},
    {IDB_CHECKED_BOX, 17, 22}, {IDB_BTNMASK, 62, 38}, {IDB_UNDO, 62, 38}, {IDB_UNDO_PRESSED, 62, 39},
    {IDB_BUBBLE_1, 46, 46}, {IDB_BUBBLE_2, 46, 46}, {IDB_BUBBLE_3, 46, 46}, {IDB_BUBBLE_4, 46, 46},
    {IDB_BUBBLE_5, 46, 46},
};

TEST(Catalogue, EveryPictureExistsAtItsSizeAs24BitUncompressed) {
  std::vector<Entry> all(std::begin(kCatalogue), std::end(kCatalogue));
  for (int id = IDB_EXIT; id <= IDB_RESET_PRESSED; ++id) all.push_back({id, 62, 38});
  for (const Entry& e : all) {
    Picture p = load_picture(e.id);
    EXPECT_EQ(p.bits, 24) << "id " << e.id;
    EXPECT_EQ(p.compression, 0) << "id " << e.id;
    EXPECT_EQ(p.w, e.w) << "id " << e.id;
    EXPECT_EQ(p.h, e.h) << "id " << e.id;
  }
}

TEST(Catalogue, IdsOutsideTheCatalogueFindNothing) {
  for (int id : {0, 3, 99, 126, 127, 136, -1, 100000}) {
    EXPECT_EQ(res::find(id).data, nullptr) << id;
    EXPECT_EQ(res::find(id).size, 0u) << id;
  }
}

// Pixels equal to `key` that cannot be reached from the picture's border through key pixels:
// transparent holes inside a shape.
int enclosed_key_pixels(const Picture& p, std::uint32_t key) {
  std::vector<char> seen(p.px.size(), 0);
  std::queue<std::pair<int, int>> q;
  auto push = [&](int x, int y) {
    if (!p.inside(x, y) || seen[std::size_t(y) * p.w + x] || p.at(x, y) != key) return;
    seen[std::size_t(y) * p.w + x] = 1;
    q.push({x, y});
  };
  for (int x = 0; x < p.w; ++x) push(x, 0), push(x, p.h - 1);
  for (int y = 0; y < p.h; ++y) push(0, y), push(p.w - 1, y);
  while (!q.empty()) {
    auto [x, y] = q.front();
    q.pop();
    push(x + 1, y), push(x - 1, y), push(x, y + 1), push(x, y - 1);
  }
  int holes = 0;
  for (std::size_t i = 0; i < p.px.size(); ++i) holes += p.px[i] == key && !seen[i];
  return holes;
}

TEST(Keys, BubblesAreKeyedExactlyOutsideTheirSphere) {
  for (int id = IDB_BUBBLE_1; id <= IDB_BUBBLE_5; ++id) {
    Picture p = load_picture(id);
    ASSERT_EQ(p.w, 46);
    for (int y = 0; y < 46; ++y)
      for (int x = 0; x < 46; ++x) {
        double r = std::hypot(x + 0.5 - 23, y + 0.5 - 23);
        if (r > 23.4) { EXPECT_EQ(p.at(x, y), kBlack) << "id " << id << " outside at " << x << "," << y; }
        if (r < 22.0) { EXPECT_NE(p.at(x, y), kBlack) << "id " << id << " hole at " << x << "," << y; }
      }
    EXPECT_EQ(enclosed_key_pixels(p, kBlack), 0) << "id " << id;
  }
}

TEST(Keys, PaperIsKeyedOnlyOutsideTheTornEdge) {
  for (int id : {IDB_PAPER, IDB_PAPER_LOGO}) {
    Picture p = load_picture(id);
    ASSERT_EQ(p.w, 482);
    EXPECT_EQ(p.at(0, 0), kBlack);
    EXPECT_EQ(p.at(481, 337), kBlack);
    EXPECT_EQ(enclosed_key_pixels(p, kBlack), 0) << "id " << id;
    // Where the game writes its texts the sheet is whole.
    for (int y = 14; y < 324; ++y)
      for (int x = 14; x < 468; ++x) ASSERT_NE(p.at(x, y), kBlack) << "id " << id << " at " << x << "," << y;
  }
}

TEST(Keys, TheWatermarkSheetDiffersFromThePlainOneOnlyInsideIt) {
  Picture plain = load_picture(IDB_PAPER), marked = load_picture(IDB_PAPER_LOGO);
  int differing = 0;
  for (int y = 0; y < 338; ++y)
    for (int x = 0; x < 482; ++x)
      if (plain.at(x, y) != marked.at(x, y)) {
        ++differing;
        ASSERT_NE(plain.at(x, y), kBlack) << x << "," << y;
      }
  EXPECT_GT(differing, 5000);  // a visible emblem, not a speck
}

TEST(Keys, TitleLetteringStaysInsideItsPicture) {
  Picture p = load_picture(IDB_TITLE);
  ASSERT_EQ(p.w, 457);
  for (int x = 0; x < p.w; ++x) { EXPECT_EQ(p.at(x, 0), kBlack); EXPECT_EQ(p.at(x, p.h - 1), kBlack); }
  for (int y = 0; y < p.h; ++y) { EXPECT_EQ(p.at(0, y), kBlack); EXPECT_EQ(p.at(p.w - 1, y), kBlack); }
  int ink = 0;
  for (std::uint32_t c : p.px) ink += c != kBlack;
  EXPECT_GT(ink, p.w * p.h / 5);
}

TEST(Keys, IconAndCursorUseMagentaForTransparency) {
  Picture icon = load_picture(ORBOLAN_ICON);
  ASSERT_TRUE(icon.w == 32 || icon.w == 48);
  EXPECT_EQ(icon.at(0, 0), kMagenta);
  EXPECT_NE(icon.at(icon.w / 2, icon.h / 2), kMagenta);
  EXPECT_EQ(enclosed_key_pixels(icon, kMagenta), 0);

  Picture cur = load_picture(IDC_ORBOLAN_CURSOR);
  ASSERT_EQ(cur.w, 32);
  ASSERT_EQ(cur.h, 32);
  // The tip is the hot spot (2, 0): the only opaque pixel of the top row, nothing left of it.
  for (int x = 0; x < 32; ++x) EXPECT_EQ(cur.at(x, 0) != kMagenta, x == 2) << x;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 2; ++x) EXPECT_EQ(cur.at(x, y), kMagenta);
  EXPECT_EQ(enclosed_key_pixels(cur, kMagenta), 0);
}

TEST(Mask, IsACheckerboardOfSingleBlackAndWhitePixels) {
  Picture p = load_picture(IDB_BTNMASK);
  ASSERT_EQ(p.w, 62);
  for (int y = 0; y < p.h; ++y)
    for (int x = 0; x < p.w; ++x) {
      ASSERT_TRUE(p.at(x, y) == kBlack || p.at(x, y) == kWhite);
      if (x + 1 < p.w) { ASSERT_NE(p.at(x, y), p.at(x + 1, y)); }
      if (y + 1 < p.h) { ASSERT_NE(p.at(x, y), p.at(x, y + 1)); }
    }
}

TEST(Background, FrameLinesLieWhereTheScreensExpectThem) {
  Picture p = load_picture(IDB_BACKGROUND);
  ASSERT_EQ(p.w, 494);
  const std::uint32_t line = 188u << 16 | 130u << 8 | 83u;
  for (int y = 6; y <= 343; ++y) { EXPECT_EQ(p.at(6, y), line); EXPECT_EQ(p.at(487, y), line); }
  for (int x = 6; x <= 487; ++x) {
    EXPECT_EQ(p.at(x, 6), line); EXPECT_EQ(p.at(x, 343), line);
    EXPECT_EQ(p.at(x, 350), line); EXPECT_EQ(p.at(x, 369), line);
  }
  for (int y = 350; y <= 369; ++y) { EXPECT_EQ(p.at(6, y), line); EXPECT_EQ(p.at(487, y), line); }
  // One pixel wide: the neighbours inside and outside are something else.
  for (int y = 20; y < 330; y += 7) {
    EXPECT_NE(p.at(5, y), line); EXPECT_NE(p.at(7, y), line);
    EXPECT_NE(p.at(486, y), line); EXPECT_NE(p.at(488, y), line);
  }
}

double mean_luminance(const Picture& p, int x0, int y0, int x1, int y1) {
  double sum = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) sum += luminance(p.at(x, y));
  return sum / ((x1 - x0) * (y1 - y0));
}

TEST(Background, BoardAndStatusBarAreDarkEnoughForBubblesAndWhiteText) {
  Picture p = load_picture(IDB_BACKGROUND);
  const double board = mean_luminance(p, 7, 7, 487, 343);
  EXPECT_LT(board, 70);
  EXPECT_LT(mean_luminance(p, 7, 351, 487, 369), 70);
  // The wood around is clearly lighter than the recess.
  EXPECT_GT(mean_luminance(p, 350, 376, 420, 414), 2 * board);
}

TEST(Background, CarriesTheMainButtonsNormalFacesAtTheirPlaces) {
  Picture bg = load_picture(IDB_BACKGROUND);
  const int faces[5] = {IDB_EXIT, IDB_LOGO, IDB_SETUP, IDB_SCORES, IDB_NEW};
  for (int i = 0; i < 5; ++i) {
    Picture f = load_picture(faces[i]);
    const int x0 = 6 + 68 * i, y0 = 376;
    for (int y = 0; y < f.h; ++y)
      for (int x = 0; x < f.w; ++x)
        ASSERT_EQ(bg.at(x0 + x, y0 + y), f.at(x, y)) << "face " << faces[i] << " at " << x << "," << y;
  }
}

TEST(Buttons, EveryPressedFaceIsDarkerAndDifferent) {
  for (int id : {IDB_EXIT, IDB_LOGO, IDB_SETUP, IDB_SCORES, IDB_NEW, IDB_END, IDB_OK, IDB_DONE, IDB_RESET, IDB_UNDO}) {
    Picture normal = load_picture(id), pressed = load_picture(id + 1);
    double n = mean_luminance(normal, 0, 0, 62, 38), q = mean_luminance(pressed, 0, 0, 62, 38);
    EXPECT_LT(q, n - 15) << "id " << id;
  }
}

TEST(Buttons, FacesWithTheSameRoleLookAlikeAndOthersDiffer) {
  // The labels tell the buttons apart: no two normal faces are the same picture.
  std::vector<int> ids = {IDB_EXIT, IDB_LOGO, IDB_SETUP, IDB_SCORES, IDB_NEW, IDB_END, IDB_OK, IDB_DONE, IDB_RESET, IDB_UNDO};
  for (std::size_t i = 0; i < ids.size(); ++i)
    for (std::size_t j = i + 1; j < ids.size(); ++j)
      EXPECT_NE(load_picture(ids[i]).px, load_picture(ids[j]).px) << ids[i] << " vs " << ids[j];
}

TEST(Bubbles, FiveColoursAreClearlyToldApart) {
  std::array<std::array<double, 3>, 5> mean{};
  for (int k = 0; k < 5; ++k) {
    Picture p = load_picture(IDB_BUBBLE_1 + k);
    int n = 0;
    for (int y = 8; y < 38; ++y)
      for (int x = 8; x < 38; ++x, ++n) {
        std::uint32_t c = p.at(x, y);
        mean[k][0] += c >> 16 & 0xFF, mean[k][1] += c >> 8 & 0xFF, mean[k][2] += c & 0xFF;
      }
    for (double& v : mean[k]) v /= n;
  }
  for (int a = 0; a < 5; ++a)
    for (int b = a + 1; b < 5; ++b) {
      double d = std::hypot(mean[a][0] - mean[b][0], mean[a][1] - mean[b][1], mean[a][2] - mean[b][2]);
      EXPECT_GT(d, 60) << "bubbles " << a + 1 << " and " << b + 1;
    }
}

}  // namespace
