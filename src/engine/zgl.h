// The engine layer: window, main loop, timer, input, textures, sprites,
// 2D primitives, text and point tests. The game calls only these functions;
// everything below them (SDL2, SDL2_image, SDL2_ttf) stays inside src/engine.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// The game's screen: everything is laid out for this size; a window of
// another size shows it scaled and letterboxed.
constexpr int kScreenWidth = 1024, kScreenHeight = 768;
constexpr int kScreenCentreX = kScreenWidth / 2, kScreenCentreY = kScreenHeight / 2;

// Callback kinds for zgl_Reg.
constexpr int SYS_LOAD = 3;
constexpr int SYS_DRAW = 4;
constexpr int SYS_EXIT = 6;

// Mouse buttons and key codes.
constexpr int M_BLEFT = 0;
constexpr int M_BMIDDLE = 1;
constexpr int K_SHIFT = 252;
constexpr int K_CTRL = 254;
// Other keys the game reads: letters by their lower-case character, the rest
// by codes of their own. Either Enter key is K_RETURN.
constexpr int K_BACKSPACE = 8;
constexpr int K_TAB = 9;
constexpr int K_SPACE = 32;
constexpr int K_RETURN = 13;
constexpr int K_ESCAPE = 27;
constexpr int K_DELETE = 127;
constexpr int K_A = 'a';
constexpr int K_Z = 'z';
constexpr int K_F1 = 200;   // K_F1 + n - 1 is function key n
constexpr int K_F12 = 211;
constexpr int K_LEFT = 212, K_RIGHT = 213, K_UP = 214, K_DOWN = 215;
constexpr int KeyLetter(char c) { return K_A + (c - 'a'); }
constexpr int KeyF(int n) { return K_F1 + n - 1; }

// Drawing flags.
constexpr uint32_t PR2D_FILL = 0x10000;
constexpr uint32_t PR2D_SMOOTH = 0x20000;
constexpr uint32_t TEXT_HALIGN_CENTER = 0x02;
constexpr uint32_t TEXT_VALIGN_CENTER = 0x20;

struct zglTRect {
  float X = 0, Y = 0, W = 0, H = 0;
};

struct zglTCircle {
  float cX = 0, cY = 0, Radius = 0;
};

struct zglTTexture;  // opaque: an image in memory (may be empty when loading failed)
struct zglTFont;     // opaque: a font (may be empty when loading failed)
using zglPTexture = zglTTexture*;
using zglPFont = zglTFont*;

using zglCallback = void (*)();

// --- program and loop ---
void zgl_Reg(int kind, zglCallback callback);
void scr_SetOptions(int width, int height, bool vsync);
void wnd_ShowCursor(bool show);
void wnd_SetCaption(const std::string& caption);
void timer_Add(zglCallback callback, int intervalMs);
// Opens the window (or runs headless, see eng_SetHeadless), runs the loop and
// returns when the program ends. Returns false when no window could be opened.
bool zgl_Init();
void zgl_Exit();

// --- input ---
void key_ClearState();
void mouse_ClearState();
int mouse_X();
int mouse_Y();
bool mouse_Down(int button);
bool mouse_Click(int button);
bool key_Down(int key);
// The key went down since the last key_ClearState: seen by exactly one tick.
bool key_Press(int key);

// --- resources ---
// Missing or unreadable files give an empty handle (never null): drawing with
// it draws nothing. One warning goes to stderr per file.
zglPTexture tex_LoadFromFile(const std::string& path);
zglPFont font_LoadFromFile(const std::string& path);

// --- drawing ---
void csprite2d_Draw(zglPTexture texture, float x, float y, float w, float h, float angle,
                    const zglTRect& cutRect, uint8_t alpha = 255);
void ssprite2d_Draw(zglPTexture texture, float x, float y, float w, float h, float angle,
                    uint8_t alpha = 255);
void pr2d_Rect(float x, float y, float w, float h, uint32_t color, uint8_t alpha = 255,
               uint32_t flags = 0);
// `quality` is the number of segments; `flags` is 0 (outline),
// PR2D_FILL, or PR2D_FILL | PR2D_SMOOTH.
void pr2d_Circle(float x, float y, float radius, uint32_t color, uint8_t alpha = 255,
                 int quality = 32, uint32_t flags = 0);
void pr2d_Line(float x1, float y1, float x2, float y2, uint32_t color, uint8_t alpha = 255,
               uint32_t flags = 0);
void text_DrawEx(zglPFont font, float x, float y, float scale, const std::string& text,
                 uint8_t alpha = 255, uint32_t color = 0xFFFFFF, uint32_t flags = 0);
// The width in pixels of one line of text at scale 1; 0 without a usable font.
float text_GetWidth(zglPFont font, const std::string& text);

// --- pictures ---
// A picture of something that stays the same from frame to frame (a field's
// background, the scene under a pop-up): drawn once, then copied whole each
// frame. The game owns it; every drawing target keeps its own copy of the
// pixels, made the first time the picture is drawn there.
class zglPicture {
 public:
  zglPicture(int width, int height);
  ~zglPicture();  // the targets' copies go with it
  zglPicture(const zglPicture&) = delete;
  zglPicture& operator=(const zglPicture&) = delete;
  const int Width, Height;
  const uint64_t Id;  // never used again, so a copy is never taken for another picture's
  struct Layer;  // what pic_Layer drew into it last
  std::unique_ptr<Layer> Drawn;
};
// Starts drawing the picture as `version` shows it. True: the drawing calls
// up to pic_End go into it (the first time in this target, after the version
// changed, or always where the target keeps no pictures: then they are drawn
// straight into the frame). False: the target holds it as it is; nothing to
// draw, and no pic_End. The game gives a new version whenever what the
// picture shows changes.
bool pic_Begin(const zglPicture& picture, uint64_t version);
void pic_End();
// Copies the whole picture with its top left corner at (x, y) over what is
// there, without blending.
void pic_Draw(const zglPicture& picture, int x, int y);
// The bottom layer of a frame, through a picture the size of the screen:
// `content` draws it (on black, as a frame starts), and the picture is drawn
// again only when the calls `content` makes differ from those it made the
// last time; then it is copied to (0, 0) over whatever is there. For what
// changes seldom (a menu changes when the pointer moves onto a button).
void pic_Layer(zglPicture& picture, const std::function<void()>& content);

// --- collision ---
// Points on the left or top edge are inside, points on the right or bottom
// edge are not; a point at exactly the radius from a circle's centre is inside.
bool col2d_PointInRect(float x, float y, const zglTRect& rect);
bool col2d_PointInCircle(float x, float y, const zglTCircle& circle);
