// What the engine layer offers beyond the game-facing calls of zgl.h: the
// drawing backends (window, offscreen, recording, none), headless running,
// direct input for replays and tests, and screenshots.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/zgl.h"

// Where drawing goes. The game's draw calls are forwarded to the current
// backend; with none set they do nothing.
class zglBackend {
 public:
  virtual ~zglBackend() = default;
  // `cut` is the source rectangle in texture pixels, or null for the whole texture.
  virtual void Sprite(const zglTTexture* texture, float x, float y, float w, float h, float angle,
                      const zglTRect* cut, uint8_t alpha) = 0;
  virtual void Rect(float x, float y, float w, float h, uint32_t color, uint8_t alpha,
                    bool filled) = 0;
  virtual void Circle(float x, float y, float radius, uint32_t color, uint8_t alpha, int quality,
                      uint32_t flags) = 0;
  virtual void Line(float x1, float y1, float x2, float y2, uint32_t color, uint8_t alpha,
                    bool smooth) = 0;
  virtual void Text(const zglTFont* font, float x, float y, float scale, const std::string& text,
                    uint8_t alpha, uint32_t color, uint32_t flags) = 0;
  // Pictures (pic_Begin, pic_Draw). A backend that keeps none has their
  // content drawn straight into the frame every time; these defaults are that.
  // Whether the backend holds the picture as drawn for `version`.
  virtual bool HoldsPicture(const zglPicture& /*picture*/, uint64_t /*version*/) { return false; }
  // Starts drawing into the picture; false when it cannot hold it (the content
  // then goes straight into the frame).
  virtual bool BeginPicture(const zglPicture& /*picture*/, uint64_t /*version*/) { return false; }
  virtual void EndPicture() {}
  virtual void Picture(const zglPicture& /*picture*/, int /*x*/, int /*y*/) {}
  // The picture is gone: its copy can go too.
  virtual void ForgetPicture(uint64_t /*id*/) {}
};

void eng_SetBackend(zglBackend* backend);
zglBackend* eng_Backend();

// One captured draw call of the recording backend.
struct zglDrawCall {
  // PICTURE_BEGIN and PICTURE_END enclose a picture's content, PICTURE copies
  // it; a recording holds them only when it keeps pictures.
  enum Kind { SPRITE, RECT, CIRCLE, LINE, TEXT, PICTURE_BEGIN, PICTURE_END, PICTURE } kind = SPRITE;
  const zglTTexture* texture = nullptr;
  const zglTFont* font = nullptr;
  float x = 0, y = 0, w = 0, h = 0;  // LINE: (x, y) to (w, h); CIRCLE: w is the radius
  float angle = 0;
  bool hasCut = false;
  zglTRect cut;
  uint8_t alpha = 0;
  uint32_t color = 0;
  uint32_t flags = 0;  // RECT: 1 filled; CIRCLE: the flags; LINE: 1 smoothed; TEXT: the flags
  int quality = 0;
  std::string text;
  const zglPicture* picture = nullptr;  // PICTURE_BEGIN, PICTURE (x, y)
  uint64_t pictureId = 0, version = 0;
  bool operator==(const zglDrawCall& other) const;
};

// Captures every draw call: for tests, and for the window, which draws a
// frame only when its calls differ from the last one's. By default it keeps
// no pictures: a frame's calls are all of what it shows, the pictures'
// content included. Keeping them, it records each picture's content between
// PICTURE_BEGIN and PICTURE_END and its copy as PICTURE, so that Replay
// leaves to the backend drawn into whether the content is drawn again.
class zglRecordingBackend : public zglBackend {
 public:
  explicit zglRecordingBackend(bool keepsPictures = false) : KeepsPictures(keepsPictures) {}
  std::vector<zglDrawCall> Calls;
  bool KeepsPictures;
  // Draws the calls into `to`.
  void Replay(zglBackend& to) const;
  void Sprite(const zglTTexture* texture, float x, float y, float w, float h, float angle,
              const zglTRect* cut, uint8_t alpha) override;
  void Rect(float x, float y, float w, float h, uint32_t color, uint8_t alpha,
            bool filled) override;
  void Circle(float x, float y, float radius, uint32_t color, uint8_t alpha, int quality,
              uint32_t flags) override;
  void Line(float x1, float y1, float x2, float y2, uint32_t color, uint8_t alpha,
            bool smooth) override;
  void Text(const zglTFont* font, float x, float y, float scale, const std::string& text,
            uint8_t alpha, uint32_t color, uint32_t flags) override;
  bool BeginPicture(const zglPicture& picture, uint64_t version) override;
  void EndPicture() override;
  void Picture(const zglPicture& picture, int x, int y) override;
  // Calls whose text equals `text`.
  std::vector<const zglDrawCall*> TextCalls(const std::string& text) const;
};

// --- input, set directly (replays, tests) ---
void eng_SetMouse(int x, int y);
// Pressing also counts as a click until the next mouse_ClearState.
void eng_SetButton(int button, bool down);
// Pressing also counts as a key press until the next key_ClearState.
void eng_SetKey(int key, bool down);
// Text typed (UTF-8), seen by the next tick only, and only while text input is on.
void eng_AddText(const std::string& text);

// The mouse as the game reads it. A demonstration swaps its own in for the
// ticks it plays and the player's back afterwards (eng_GetMouse, eng_PutMouse).
struct zglMouseState {
  int X = 0, Y = 0;
  bool Down[3] = {false, false, false};
  bool Click[3] = {false, false, false};
  uint64_t PressRound[3] = {0, 0, 0};
  bool Claimed[3] = {false, false, false};
};
zglMouseState eng_GetMouse();
void eng_PutMouse(const zglMouseState& mouse);

// Input rounds: the round the game sees now counts from 1 and steps up each
// time the mouse state is cleared (once per tick); a button's press round is
// the round in which it last went down (0 when it never did). Forms use them
// to tell a press that began before they were on screen.
uint64_t eng_InputRound();
uint64_t eng_PressRound(int button);

// A press that began on a form (or while a form or a question took all
// input) belongs to it until the button comes up: whatever lies under the
// pointer afterwards never takes it for a click, a drag or a placement.
// Claiming marks the press now held (or clicked in this tick); the next
// press starts unclaimed.
void eng_ClaimPress(int button);
bool eng_PressClaimed(int button);

// Whether `modifier` (K_SHIFT or K_CTRL) was held at the moment `key` last
// went down: shortcuts read it so that a modifier let go within the same
// tick as the key still counts, and one let go before it does not.
bool key_HeldAtPress(int key, int modifier);

// The name of a key the game reads ("shift", "ctrl", "a".."z", "return",
// "escape", "delete", "backspace", "f1".."f12", "left", "right", "up",
// "down", "space", "tab"), or "" for any other code.
std::string eng_KeyName(int key);
// The code of a key name, or -1.
int eng_KeyByName(const std::string& name);

// --- text input ---
// While on, a window delivers typed characters (with the keyboard layout and
// input methods applied) through eng_TypedText.
void eng_StartTextInput();
void eng_StopTextInput();
bool eng_TextInputActive();
// What was typed since the last key_ClearState.
const std::string& eng_TypedText();

// --- the window's close button ---
// Off (the default): closing the window ends the loop. On: it only sets a
// request that the game takes with eng_TakeCloseRequest and answers itself
// (for instance by asking whether to save first, then calling zgl_Exit).
void eng_SetCloseHandled(bool handled);
// The close button was pressed (or a replay asked for it); as the window does.
void eng_RequestClose();
// True once per request.
bool eng_TakeCloseRequest();
// The system asks the program to end (a kill signal: the session ending, the
// machine shutting down): a close request with nobody there to answer a
// question. With close requests handled, eng_CloseRequestedBySystem then
// tells it from the window's; it stays true, since the program ends.
void eng_RequestEnd();
bool eng_CloseRequestedBySystem();

// --- full screen ---
// Switches the window between full screen (the picture letterboxed as when
// resized) and a window. Does nothing without a window.
void eng_ToggleFullScreen();
void eng_SetFullScreen(bool on);
bool eng_FullScreen();

// An input change made by the player in a window, reported for recording.
struct zglInputEvent {
  enum Kind { MOVE, PRESS, RELEASE, KEY_DOWN, KEY_UP, TEXT, QUIT } kind = MOVE;
  int x = 0, y = 0;   // MOVE
  int button = 0;     // PRESS, RELEASE
  int key = 0;        // KEY_DOWN, KEY_UP
  std::string text;   // TEXT
};
// `tick` is the timer tick the change will be seen by (ticks run so far + 1).
void eng_SetInputObserver(std::function<void(uint64_t tick, const zglInputEvent&)> observer);
// While locked, the player's own input in a window is ignored.
void eng_LockUserInput(bool locked);

// --- running ---
// Headless: zgl_Init calls the load callback, then runs `ticks` timer ticks as
// fast as possible, drawing into the backend set (or nowhere) after each one.
void eng_SetHeadless(bool headless, uint64_t ticks);
// Called before every timer tick, with that tick's number (from 1).
void eng_SetTickHook(std::function<void(uint64_t tick)> hook);
uint64_t eng_TicksRun();
// The number of the timer tick being run; between ticks, the ticks run so far.
uint64_t eng_CurrentTick();
bool eng_ExitRequested();
// In a browser the page runs the window's loop, one frame per display refresh,
// and zgl_Init does not return. When the loop ends there (zgl_Exit), the window
// closes, `finish` gets what zgl_Init would have returned, and the program ends
// with the status `finish` returns. Elsewhere `finish` is never called.
void eng_SetFinish(std::function<int(bool ran)> finish);
// True in a browser, where the page, not the program, is closed by the player.
bool eng_InBrowser();
// The error zgl_Init reported when it could not open a window.
const std::string& eng_LastError();
// Tells the player of an error that stops the program: always on stderr, and
// in a message box (under `headline`, if any) when the program would open a
// window and a display exists.
void eng_ShowError(const std::string& message, const std::string& headline = "");
bool eng_CanShowMessageBox();

// The clipboard's text (share codes): the system's in a window, the page's in
// a browser (written only), one kept in memory by headless runs. False when
// the system or the browser has no clipboard to take it (a page served over
// plain http); the browser page then shows the text to copy by hand. A
// browser may still refuse later: the page shows the text then too.
bool eng_SetClipboardText(const std::string& text);
std::string eng_ClipboardText();
// In the browser, the game page's address (without query or fragment), to
// which a share link points; "" on the desktop.
std::string eng_PageAddress();

// On (the default): pictures are kept by the targets that can hold them. Off:
// their content is drawn straight into every frame, as if there were none;
// the same frames must come out.
void eng_SetPictureCache(bool on);

// Headless with render: every frame is drawn into an offscreen picture of
// the window's size, as a window without a GPU would draw it, and thrown away.
void eng_SetHeadlessRender(bool render);

// --- sound (the game's calls are in zglSound.h) ---
// Opens the audio device; a window run does this itself, headless runs never
// do. `driver` names an SDL audio driver ("dummy" for tests), empty for the
// default. False, with one line on stderr, when there is no device: sounds
// are then silent.
bool eng_OpenAudio(const std::string& driver = "");
bool eng_AudioOpen();
void eng_CloseAudio();
// Told of every sound started (snd_Play, and snd_Hold when it starts a loop),
// with the current tick and the sound's name, whether or not a device is open.
void eng_SetSoundObserver(std::function<void(uint64_t tick, const std::string& name)> observer);
// Stops the held sounds nobody asked for during this tick. The loop calls it
// after every timer tick.
void eng_EndSoundTick();

// Draws one frame (the draw callback) offscreen at `width` by `height` and
// writes it as PNG: after a headless run with render, into the picture the
// run drew into (so it shows what that kept from frame to frame). Returns false with a message in `error` on failure.
bool eng_SaveScreenshot(const std::string& path, int width, int height, std::string* error);

// A picture the draw callback draws into frame after frame, through the same
// drawing code as a window. Its textures and captions stay cached between frames.
class zglFrameTarget {
 public:
  // Offscreen in SDL's software renderer: what a window without a GPU draws
  // with, and what screenshots use. Needs no display. Null with a message in
  // `error` when it cannot be made.
  static std::unique_ptr<zglFrameTarget> Offscreen(int width, int height, std::string* error);
  // A hidden window drawn by SDL's GPU renderer, for measuring frames; needs a
  // display. Null with a message in `error` when there is none.
  static std::unique_ptr<zglFrameTarget> HiddenWindow(int width, int height, std::string* error);
  ~zglFrameTarget();
  zglFrameTarget(const zglFrameTarget&) = delete;
  zglFrameTarget& operator=(const zglFrameTarget&) = delete;

  // Clears to black, runs the draw callback into this picture and waits until
  // the frame is drawn.
  void DrawFrame();
  // Offscreen only: writes the picture as PNG. False with a message in `error`.
  bool SavePng(const std::string& path, std::string* error) const;
  // Offscreen only: the colour of a pixel of the last frame, 0xRRGGBB (0 outside).
  uint32_t Pixel(int x, int y) const;
  // What draws the frames, e.g. "software" or "opengl, video driver x11".
  std::string Description() const;

 private:
  friend bool eng_SaveScreenshot(const std::string&, int, int, std::string*);
  struct Impl;
  explicit zglFrameTarget(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> P;
};

// What a loaded texture holds: its size, whether its file had an alpha
// channel, and the alpha of one pixel (0 outside the picture).
struct zglTextureInfo {
  int Width = 0, Height = 0;
  bool HasAlpha = false;
};
bool eng_TextureInfo(zglPTexture texture, zglTextureInfo* info);
// Whether the font has a picture for the one UTF-8 character (an emoji, say,
// it may not); true when no font is loaded, since nothing is drawn then.
bool eng_FontDraws(zglPFont font, const std::string& character);
// Whether the picture, or the font description and the font it names, at
// `path` can be loaded; false with the reason ("it is missing", the
// decoder's error) in `error`.
bool eng_CanLoadImage(const std::string& path, std::string* error);
bool eng_CanLoadFont(const std::string& path, std::string* error);
uint8_t eng_TextureAlpha(zglPTexture texture, int x, int y);

// Forgets callbacks, input, run state and every loaded resource. Used between
// tests and at the end of the program.
void eng_Reset();
