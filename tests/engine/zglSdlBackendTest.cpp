// Drawing with the software backend (what screenshots and a window without
// a GPU use), read back from the picture: sprite rotation, cut rectangles and
// alpha, centred text; and the shapes it draws through several paths (cached
// ring textures, rows of pixels, geometry, tiles, copies with their alpha
// built in), each landing where it is asked for and weighing what it should.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "support/TestSupport.h"

namespace {

using TColour = std::array<int, 3>;

// One frame as the screenshot holds it.
class TPicture {
 public:
  explicit TPicture(const std::string& png) {
    SDL_Surface* loaded = IMG_Load(png.c_str());
    if (!loaded) return;
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    if (!rgba) return;
    W = rgba->w, H = rgba->h;
    for (int y = 0; y < H; ++y) {
      const auto* row = static_cast<const uint8_t*>(rgba->pixels) + y * rgba->pitch;
      Pixels.insert(Pixels.end(), row, row + 4 * W);
    }
    SDL_FreeSurface(rgba);
  }
  TColour At(int x, int y) const {
    const uint8_t* p = &Pixels[4 * (static_cast<size_t>(y) * W + x)];
    return {p[0], p[1], p[2]};
  }
  // The smallest rectangle (left, top, right, bottom) holding every bright
  // pixel within the rows from `top` to `bottom`.
  std::array<int, 4> Ink(int top, int bottom) const {
    std::array<int, 4> box{W, H, -1, -1};
    for (int y = top; y < bottom; ++y)
      for (int x = 0; x < W; ++x)
        if (At(x, y)[0] > 128)
          box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y)};
    return box;
  }
  int W = 0, H = 0;
  std::vector<uint8_t> Pixels;
};

zglPTexture Texture = nullptr;
zglPFont Font = nullptr;

class SoftwareBackend : public ::testing::Test {
 protected:
  void SetUp() override { eng_Reset(); }
  void TearDown() override {
    Texture = nullptr;
    Font = nullptr;
    eng_Reset();
  }
  TPicture Shoot(zglCallback draw) {
    zgl_Reg(SYS_DRAW, draw);
    std::string error;
    EXPECT_TRUE(eng_SaveScreenshot(Dir.File("frame.png"), 400, 300, &error)) << error;
    return TPicture(Dir.File("frame.png"));
  }
  TempDir Dir;
};

const TColour kBlack{0, 0, 0}, kRed{255, 0, 0}, kGreen{0, 255, 0};

// A 20 x 10 picture: its left half red, its right half green.
zglPTexture RedGreenTexture(const std::string& path) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 20, 10, 32, SDL_PIXELFORMAT_RGBA32);
  SDL_Rect left{0, 0, 10, 10}, right{10, 0, 10, 10};
  SDL_FillRect(s, &left, SDL_MapRGBA(s->format, 255, 0, 0, 255));
  SDL_FillRect(s, &right, SDL_MapRGBA(s->format, 0, 255, 0, 255));
  IMG_SavePNG(s, path.c_str());
  SDL_FreeSurface(s);
  return tex_LoadFromFile(path);
}

void DrawSprites() {
  csprite2d_Draw(Texture, 100, 100, 20, 10, 90, zglTRect{0, 0, 20, 10});   // turned clockwise
  csprite2d_Draw(Texture, 200, 100, 20, 10, 0, zglTRect{0, 0, 20, 10}, 128);
  csprite2d_Draw(Texture, 300, 100, 20, 10, 0, zglTRect{10, 0, 10, 10});  // the green half, stretched
}

TEST_F(SoftwareBackend, SpritesTurnClockwiseAboutTheirCentreAndKeepTheirCutAndAlpha) {
  Texture = RedGreenTexture(Dir.File("red_green.png"));
  TPicture p = Shoot(DrawSprites);
  ASSERT_EQ(p.W, 400);
  // Turned by 90 degrees about (110, 105): red above the centre, green below.
  EXPECT_EQ(p.At(110, 98), kRed);
  EXPECT_EQ(p.At(110, 112), kGreen);
  EXPECT_EQ(p.At(102, 105), kBlack) << "the unturned red half is gone";
  EXPECT_EQ(p.At(118, 105), kBlack) << "the unturned green half is gone";
  // Half alpha over black: half the red.
  const TColour faded = p.At(205, 105);
  EXPECT_NEAR(faded[0], 128, 3);
  EXPECT_EQ(faded[1], 0);
  EXPECT_EQ(p.At(305, 105), kGreen);
  EXPECT_EQ(p.At(315, 105), kGreen);
}

// Far larger than the picture and turned: only the part seen is drawn, as
// it would be whole. Its centre is that of the 400 by 300 picture.
void DrawHugeSprite() { csprite2d_Draw(Texture, -9800, -4850, 20000, 10000, 90, zglTRect{0, 0, 20, 10}); }

TEST_F(SoftwareBackend, ASpriteFarLargerThanThePictureIsCutToWhatIsSeen) {
  Texture = RedGreenTexture(Dir.File("red_green.png"));
  TPicture p = Shoot(DrawHugeSprite);
  for (int x : {0, 200, 399}) {
    EXPECT_EQ(p.At(x, 0), kRed) << x;
    EXPECT_EQ(p.At(x, 135), kRed) << x;  // SDL's scaling lands a source pixel within 1% of its place
    EXPECT_EQ(p.At(x, 165), kGreen) << x;
    EXPECT_EQ(p.At(x, 299), kGreen) << x;
  }
}

void DrawTexts() {
  text_DrawEx(Font, 200, 100, 1, "HHHH", 255, 0xFFFFFF, TEXT_HALIGN_CENTER | TEXT_VALIGN_CENTER);
  text_DrawEx(Font, 200, 200, 1, "HHHH", 255, 0xFFFFFF, 0);
}

TEST_F(SoftwareBackend, CentredTextIsCentredOnItsPointAndOtherTextHangsFromIt) {
  Font = font_LoadFromFile(std::string(KELVOD_SOURCE_DIR) + "/data/font_1.zfi");
  TPicture p = Shoot(DrawTexts);
  ASSERT_EQ(p.W, 400);
  auto [left, top, right, bottom] = p.Ink(50, 150);
  ASSERT_GE(right, left) << "the centred text was drawn";
  EXPECT_NEAR((left + right) / 2.0, 200, 2);
  EXPECT_NEAR((top + bottom) / 2.0, 100, 3);
  auto [left2, top2, right2, bottom2] = p.Ink(150, 250);
  ASSERT_GE(right2, left2) << "the plain text was drawn";
  EXPECT_NEAR(left2, 201, 2) << "its left edge is at the point";
  EXPECT_GT(top2, 200) << "it hangs below the point";
  EXPECT_EQ(right2 - left2, right - left) << "the same text at the same size";
}

// A font description names files in order of preference; the first that
// exists is used, a relative name being taken from the description's folder.
TEST_F(SoftwareBackend, AFontDescriptionUsesTheFirstFileThatExists) {
  const std::string system = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  std::filesystem::copy_file(system, Dir.File("shipped.ttf"));
  const struct {
    const char* what;
    std::string description;
    bool drawn;
  } cases[] = {
      {"a shipped font beside the description", "file=shipped.ttf\nsize=14\n", true},
      {"a missing font, then the system's", "file=missing.ttf\nfile=" + system + "\nsize=14\n", true},
      {"the shipped font before a missing one", "file=shipped.ttf\nfile=/no/such.ttf\nsize=14\n", true},
      {"only missing fonts", "file=missing.ttf\nfile=/no/such.ttf\nsize=14\n", false},
  };
  for (const auto& c : cases) {
    WriteText(Dir.File("font.zfi"), c.description);
    Font = font_LoadFromFile(Dir.File("font.zfi"));
    TPicture p = Shoot(DrawTexts);
    auto [left, top, right, bottom] = p.Ink(50, 150);
    EXPECT_EQ(right >= left, c.drawn) << c.what;
    eng_Reset();
  }
}

// --- shapes, read back from an offscreen frame ---

constexpr int kSize = 256;
std::function<void()> Scene;
void DrawScene() { Scene(); }

// A white drawing on black: its weight (in fully lit pixels), the centre of
// its brightness and the mean distance of its brightness from that centre.
struct Blob {
  double Weight = 0, X = 0, Y = 0, Radius = 0;
};

class SoftwareDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    eng_Reset();
    std::string error;
    Target = zglFrameTarget::Offscreen(kSize, kSize, &error);
    ASSERT_NE(Target, nullptr) << error;
    zgl_Reg(SYS_DRAW, DrawScene);
  }
  void TearDown() override {
    Target.reset();
    eng_Reset();
  }
  Blob Draw(std::function<void()> scene) {
    Scene = std::move(scene);
    Target->DrawFrame();
    Blob b;
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        double w = (Target->Pixel(x, y) & 0xFF) / 255.0;
        b.Weight += w, b.X += w * x, b.Y += w * y;
      }
    b.X /= b.Weight, b.Y /= b.Weight;
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x)
        b.Radius += (Target->Pixel(x, y) & 0xFF) / 255.0 * std::hypot(x - b.X, y - b.Y);
    b.Radius /= b.Weight;
    return b;
  }
  std::unique_ptr<zglFrameTarget> Target;
};

struct RingCase {
  float X, Y, Radius;
};

class Rings : public SoftwareDrawing, public ::testing::WithParamInterface<RingCase> {};

// The software renderer draws geometry half a pixel up and left of where it
// draws copies (pixel i is centred on i + 0.5 there). Rings, cached or not,
// stay where geometry put them, to a quarter of a pixel, at their radius, and
// weigh a ring one pixel solid with a one-pixel fade on either side.
TEST_P(Rings, LandWhereGeometryDidAtTheirRadius) {
  const RingCase c = GetParam();
  const bool cached = c.Radius <= 100;
  const Blob ring = Draw([c] { pr2d_Circle(c.X, c.Y, c.Radius, 0xFFFFFF, 255, 32, 0); });
  EXPECT_NEAR(ring.X, c.X - 1.0, cached ? 0.1 : 0.5);
  EXPECT_NEAR(ring.Y, c.Y - 1.0, cached ? 0.1 : 0.5);
  EXPECT_NEAR(ring.Radius, c.Radius, cached ? 0.25 : 0.5);
  EXPECT_NEAR(ring.Weight, 2 * 2 * std::numbers::pi * c.Radius, 0.1 * ring.Weight);
}

INSTANTIATE_TEST_SUITE_P(CachedAndNot, Rings,
                         ::testing::Values(RingCase{100, 100, 3}, RingCase{100.25f, 90, 7},
                                           RingCase{120.5f, 130.75f, 18.4f},
                                           RingCase{128, 128, 60}, RingCase{128, 128, 105}));

// Filled circles are filled row by row: the polygon's area, centred where the
// rings are.
TEST_F(SoftwareDrawing, FilledCirclesCoverTheirPolygonWhereTheRingsAre) {
  const Blob ring = Draw([] { pr2d_Circle(100, 100, 20, 0xFFFFFF, 255, 32, 0); });
  for (auto [radius, sides] : {std::pair{17.0f, 18}, std::pair{40.0f, 25}, std::pair{2.0f, 7}}) {
    const Blob disc = Draw([=] { pr2d_Circle(100, 100, radius, 0xFFFFFF, 255, sides, PR2D_FILL); });
    const double area = sides / 2.0 * radius * radius * std::sin(2 * std::numbers::pi / sides);
    EXPECT_NEAR(disc.Weight, area, 0.05 * area + 2) << radius;
    EXPECT_NEAR(disc.X, ring.X, 0.2) << radius;
    EXPECT_NEAR(disc.Y, ring.Y, 0.2) << radius;
  }
}

// Long smoothed lines are drawn in short pieces: lit all along, and nothing
// lit off the line.
TEST_F(SoftwareDrawing, LongSmoothLinesAreWholeAndStayOnTheirLine) {
  for (auto [x1, y1, x2, y2] : {std::array{10.0f, 100.5f, 246.0f, 100.5f},
                                std::array{20.0f, 230.0f, 235.0f, 15.0f},
                                std::array{30.0f, 20.0f, 200.0f, 240.0f}}) {
    Draw([=] { pr2d_Line(x1, y1, x2, y2, 0xFFFFFF, 255, PR2D_SMOOTH); });
    const double length = std::hypot(x2 - x1, y2 - y1);
    const double ux = (x2 - x1) / length, uy = (y2 - y1) / length;
    std::vector<bool> reached(static_cast<size_t>(length) + 1, false);
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        if ((Target->Pixel(x, y) & 0xFF) == 0) continue;
        // Pixel centres, half a pixel up and left as the software renderer places geometry.
        const double dx = x + 1.0 - x1, dy = y + 1.0 - y1;
        const double along = dx * ux + dy * uy, across = std::abs(dx * uy - dy * ux);
        ASSERT_LT(across, 2.5) << "stray pixel " << x << ", " << y;
        ASSERT_GT(along, -2.5);
        ASSERT_LT(along, length + 2.5);
        if ((Target->Pixel(x, y) & 0xFF) > 200 && along >= 0 && along <= length)
          reached[static_cast<size_t>(along)] = true;
      }
    for (size_t i = 1; i + 1 < reached.size(); ++i) EXPECT_TRUE(reached[i]) << "a gap " << i << " pixels along";
  }
}

// Large see-through fills are copied from tiles, small or fractional ones
// filled: either way, the colour blended over what lies below, exactly
// inside the rectangle (whole pixels) and nowhere else.
TEST_F(SoftwareDrawing, SeeThroughRectanglesBlendTheirColourOverTheirArea) {
  for (auto [x, y, w, h] : {std::array{0.0f, 0.0f, 256.0f, 256.0f}, std::array{-40.0f, 30.0f, 300.0f, 270.0f},
                            std::array{20.0f, 40.0f, 100.0f, 60.0f}, std::array{10.5f, 20.0f, 230.0f, 230.0f}}) {
    Draw([=] {
      pr2d_Rect(0, 0, kSize, kSize, 0x5080C0, 255, PR2D_FILL);
      pr2d_Rect(x, y, w, h, 0x101017, 208, PR2D_FILL);
    });
    // Whole pixels as the renderer takes them: position and size cut down.
    const int x0 = static_cast<int>(x), y0 = static_cast<int>(y);
    const int x1 = x0 + static_cast<int>(w), y1 = y0 + static_cast<int>(h);
    for (int py = 0; py < kSize; ++py)
      for (int px = 0; px < kSize; ++px) {
        const bool inside = px >= x0 && px < x1 && py >= y0 && py < y1;
        const uint32_t got = Target->Pixel(px, py);
        for (auto [shift, over, under] : {std::array{16, 0x10, 0x50}, std::array{8, 0x10, 0x80},
                                          std::array{0, 0x17, 0xC0}}) {
          const int want = inside ? (over * 208 + under * 47) / 255 : under;
          ASSERT_NEAR(static_cast<int>(got >> shift & 0xFF), want, 1) << px << ", " << py << " of " << x << ", " << y;
        }
      }
  }
}

// A see-through picture drawn again and again is copied with its alpha built
// in after a few frames: the frames look the same before and after.
TEST_F(SoftwareDrawing, ASeeThroughSpriteLooksTheSameOnceItsCopyIsCached) {
  zglPTexture atlas = tex_LoadFromFile(std::string(KELVOD_SOURCE_DIR) + "/data/panel_r.png");
  const zglTRect cut{0, 128, 128, 128};  // a tool button of the atlas
  auto draw = [&] {
    Draw([&] {
      pr2d_Rect(0, 0, kSize, kSize, 0x505050, 255, PR2D_FILL);
      csprite2d_Draw(atlas, 20, 30, 128, 128, 0, cut, 155);
    });
  };
  draw();
  std::vector<uint32_t> first;
  for (int i = 0; i < kSize * kSize; ++i) first.push_back(Target->Pixel(i % kSize, i / kSize));
  for (int frame = 0; frame < 4; ++frame) draw();
  int lit = 0;
  for (int i = 0; i < kSize * kSize; ++i) {
    const uint32_t a = first[i], b = Target->Pixel(i % kSize, i / kSize);
    lit += a != 0x505050;
    for (int shift : {0, 8, 16})
      ASSERT_NEAR(static_cast<int>(a >> shift & 0xFF), static_cast<int>(b >> shift & 0xFF), 2)
          << "pixel " << i % kSize << ", " << i / kSize;
  }
  EXPECT_GT(lit, 1000) << "the sprite was drawn";
}

}  // namespace
