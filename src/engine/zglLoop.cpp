// Callbacks, the window loop, the headless loop, the close button and full
// screen. Input state lives in zglInput.cpp, offscreen frames and
// screenshots in zglFrame.cpp.
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include <algorithm>
#include <array>
#include <iostream>
#include <memory>

#include "engine/uSafeFile.h"
#include "engine/zglInternal.h"

namespace {

struct Program {
  zglCallback OnLoad = nullptr, OnDraw = nullptr, OnExit = nullptr, OnTimer = nullptr;
  int TimerInterval = 15;
  int Width = kScreenWidth, Height = kScreenHeight;
  bool VSync = true;
  bool ShowCursor = true;
  std::string Caption;
  bool Headless = false;
  bool HeadlessRender = false;
  uint64_t HeadlessTicks = 0;
  uint64_t TicksRun = 0;
  bool InTick = false;
  bool ExitRequested = false;
  std::string LastError;
  std::function<void(uint64_t)> TickHook;
  std::function<void(uint64_t, const zglInputEvent&)> Observer;
  bool UserInputLocked = false;
  bool CloseHandled = false;
  bool CloseRequested = false;
  bool CloseBySystem = false;  // the request came from a kill signal, not the window
  bool FullScreen = false;
  SDL_Window* Window = nullptr;
  std::function<int(bool)> Finish;
  // Headless with render: the offscreen picture, kept after the run for the
  // screenshot, which then shows the pictures kept over the frames as well.
  std::shared_ptr<zglFrameTarget> Rendered;
};

// The open window between two frames.
struct WindowLoop {
  SDL_Renderer* Renderer = nullptr;
  std::unique_ptr<zglSdlBackend> Backend;
  Uint64 NextTick = 0;
  // The calls of the frame being made and of the one on the screen: a frame
  // whose calls are the same shows the same picture and is not drawn again.
  zglRecordingBackend Frame{true};
  std::vector<zglDrawCall> Shown;
  bool Redraw = true;  // the window lost its picture (shown, exposed, resized)
  // The window's close button was pressed: SDL's quit event that follows is
  // the player's. A quit event without one came from a signal.
  bool WindowClosed = false;
};

Program Prog;
WindowLoop Loop;

void RunTick() {
  uint64_t tick = Prog.TicksRun + 1;
  if (Prog.TickHook) Prog.TickHook(tick);
  Prog.InTick = true;
  if (Prog.OnTimer) Prog.OnTimer();
  eng_EndSoundTick();
  Prog.InTick = false;
  Prog.TicksRun = tick;
}

void Report(const zglInputEvent& e) {
  if (Prog.Observer) Prog.Observer(Prog.TicksRun + 1, e);
}

// Returns false when the loop should end (the window was closed and the game
// does not answer close requests itself).
bool PumpEvents() {
  SDL_Event ev;
  while (SDL_PollEvent(&ev)) {
    if (ev.type == SDL_QUIT) {
      if (!Prog.CloseHandled) return false;
      const bool bySystem = !Loop.WindowClosed;
      Loop.WindowClosed = false;
      if (bySystem)
        eng_RequestEnd();
      else
        eng_RequestClose();
      zglInputEvent e;
      e.kind = zglInputEvent::QUIT;
      Report(e);
      continue;
    }
    if (ev.type == SDL_WINDOWEVENT) {
      Loop.Redraw = true;
      if (ev.window.event == SDL_WINDOWEVENT_CLOSE) Loop.WindowClosed = true;
    }
    if (Prog.UserInputLocked) continue;
    eng_HandleInputEvent(ev, Report);
  }
  return true;
}

void Fail(const std::string& what) {
  Prog.LastError = what + ": " + SDL_GetError();
  eng_ShowError(Prog.LastError);
}

// SDL falls back to drivers that draw nowhere when there is no display; the
// player would get a program without a window. Only a driver asked for by
// name (SDL_VIDEODRIVER) may be one of those.
bool HasRealDisplay() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver) return false;
  std::string name = driver;
  if (name != "offscreen" && name != "dummy") return true;
  const char* asked = SDL_getenv("SDL_VIDEODRIVER");
  return asked && name == asked;
}

Uint64 TickInterval() { return static_cast<Uint64>(std::max(1, Prog.TimerInterval)); }

#ifndef __EMSCRIPTEN__
// The frame's calls are taken first; only when they differ from those of the
// frame on the screen are they drawn and shown.
void DrawWindowFrame() {
  Loop.Frame.Calls.clear();
  eng_SetBackend(&Loop.Frame);
  if (Prog.OnDraw) Prog.OnDraw();
  eng_SetBackend(Loop.Backend.get());
  if (!Loop.Redraw && Loop.Frame.Calls == Loop.Shown) return;
  SDL_SetRenderDrawColor(Loop.Renderer, 0, 0, 0, 255);
  SDL_RenderClear(Loop.Renderer);
  Loop.Frame.Replay(*Loop.Backend);
  SDL_RenderPresent(Loop.Renderer);
  std::swap(Loop.Frame.Calls, Loop.Shown);
  Loop.Redraw = false;
}

// Until the next tick is due, or the player does something.
void WaitForTick() {
  const Uint64 now = SDL_GetTicks64();
  if (now < Loop.NextTick) SDL_WaitEventTimeout(nullptr, static_cast<int>(Loop.NextTick - now));
}
#endif

// One frame of the window: the events, the timer ticks that are due, one
// drawing. False when the loop should end.
bool Frame() {
  if (Prog.ExitRequested || !PumpEvents()) return false;
  const int maxCatchUp = 4;
  Uint64 now = SDL_GetTicks64();
  int ran = 0;
  while (now >= Loop.NextTick && ran < maxCatchUp && !Prog.ExitRequested) {
    RunTick();
    Loop.NextTick += TickInterval();
    ++ran;
  }
  if (now >= Loop.NextTick) Loop.NextTick = now + TickInterval();  // after a stall: skip, never spiral
  if (Prog.ExitRequested) return false;
#ifdef __EMSCRIPTEN__
  // The page asks for a frame per display refresh and shows what was drawn.
  SDL_SetRenderDrawColor(Loop.Renderer, 0, 0, 0, 255);
  SDL_RenderClear(Loop.Renderer);
  if (Prog.OnDraw) Prog.OnDraw();
  SDL_RenderPresent(Loop.Renderer);
#else
  // Nothing the game shows changes between its ticks.
  if (ran > 0 || Loop.Redraw) DrawWindowFrame();
#endif
  return true;
}

// After the last frame: the exit callback, then the window closes.
void CloseWindow() {
  if (Prog.OnExit) Prog.OnExit();
  eng_SetBackend(nullptr);
  Loop.Backend.reset();
  eng_CloseAudio();
  SDL_DestroyRenderer(Loop.Renderer);
  Loop.Renderer = nullptr;
  SDL_DestroyWindow(Prog.Window);
  Prog.Window = nullptr;
  SDL_Quit();
}

#ifdef __EMSCRIPTEN__
void BrowserFrame() {
  if (Frame()) return;
  emscripten_cancel_main_loop();
  CloseWindow();
  emscripten_force_exit(Prog.Finish ? Prog.Finish(true) : 0);
}
#endif

bool RunWindow() {
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) {
    Fail("cannot open a window (no display?)");
    return false;
  }
  if (!HasRealDisplay()) {
    SDL_SetError("no display was found (is DISPLAY or WAYLAND_DISPLAY set?); use --headless to run without one");
    Fail("cannot open a window");
    SDL_Quit();
    return false;
  }
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  SDL_Window* window = SDL_CreateWindow(Prog.Caption.c_str(), SDL_WINDOWPOS_CENTERED,
                                        SDL_WINDOWPOS_CENTERED, Prog.Width, Prog.Height,
                                        SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
  if (!window) {
    Fail("cannot open a window");
    SDL_Quit();
    return false;
  }
  Uint32 flags = SDL_RENDERER_ACCELERATED | (Prog.VSync ? SDL_RENDERER_PRESENTVSYNC : 0);
  SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, flags);
  if (!renderer) {
    // Without a GPU: the software renderer's frames go to the window as they
    // are, not uploaded through OpenGL first (where the video driver can).
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  }
  if (!renderer) {
    Fail("cannot draw into the window");
    SDL_DestroyWindow(window);
    SDL_Quit();
    return false;
  }
  SDL_RenderSetLogicalSize(renderer, Prog.Width, Prog.Height);
  SDL_ShowCursor(Prog.ShowCursor ? SDL_ENABLE : SDL_DISABLE);
  // SDL starts with text input on; the game turns it on only while it edits text.
  if (!eng_TextInputActive()) SDL_StopTextInput();
  Prog.Window = window;
  Loop.Renderer = renderer;
  eng_InitLibraries();
  eng_OpenAudio();
  Loop.Backend = std::make_unique<zglSdlBackend>(renderer);
  eng_SetBackend(Loop.Backend.get());
  if (Prog.OnLoad) Prog.OnLoad();
  Loop.NextTick = SDL_GetTicks64() + TickInterval();
#ifdef __EMSCRIPTEN__
  // The page runs the loop, one frame per display refresh; this call does not
  // return, and the run ends in BrowserFrame.
  emscripten_set_main_loop(BrowserFrame, 0, 1);
#else
  // Frames come with ticks: whether or not the display paces them, the loop
  // rests until the next tick is due.
  while (Frame()) WaitForTick();
  CloseWindow();
#endif
  return true;
}

bool RunHeadless() {
  std::shared_ptr<zglFrameTarget> target;
  if (Prog.HeadlessRender) {
    std::string error;
    target = zglFrameTarget::Offscreen(Prog.Width, Prog.Height, &error);
    Prog.Rendered = target;
    if (!target) {
      Prog.LastError = error;
      std::cerr << "kelvod: " << error << "\n";
      return false;
    }
  }
  if (Prog.OnLoad) Prog.OnLoad();
  while (Prog.TicksRun < Prog.HeadlessTicks && !Prog.ExitRequested) {
    RunTick();
    if (target)
      target->DrawFrame();
    else if (Prog.OnDraw)
      Prog.OnDraw();
  }
  if (Prog.OnExit) Prog.OnExit();
  return true;
}

}  // namespace

// A message box needs a screen to appear on. Without one SDL may start a
// helper process to show it, which can hang where there is no screen at all.
bool eng_CanShowMessageBox() {
  if (Prog.Headless) return false;
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"})
    if (const char* value = SDL_getenv(name); value && *value) return true;
  return false;
}

// The message in lines of about `width` characters: a message box does not
// wrap them itself.
static std::string Wrapped(const std::string& text, size_t width) {
  std::string out, line;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(start, end - start);
    if (!line.empty() && line.size() + 1 + word.size() > width) out += line + "\n", line.clear();
    line += (line.empty() ? "" : " ") + word;
    start = end + 1;
  }
  return out + line;
}

void eng_ShowError(const std::string& message, const std::string& headline) {
  std::cerr << "kelvod: " << message << "\n";
  if (!eng_CanShowMessageBox()) return;
  const std::string text = (headline.empty() ? "" : headline + "\n\n") + Wrapped(message, 72);
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, Prog.Caption.empty() ? "kelvod" : Prog.Caption.c_str(),
                           text.c_str(), nullptr);
}

void zgl_Reg(int kind, zglCallback callback) {
  if (kind == SYS_LOAD) Prog.OnLoad = callback;
  if (kind == SYS_DRAW) Prog.OnDraw = callback;
  if (kind == SYS_EXIT) Prog.OnExit = callback;
}

void scr_SetOptions(int width, int height, bool vsync) {
  Prog.Width = width;
  Prog.Height = height;
  Prog.VSync = vsync;
}

void wnd_ShowCursor(bool show) { Prog.ShowCursor = show; }
void wnd_SetCaption(const std::string& caption) { Prog.Caption = caption; }

void timer_Add(zglCallback callback, int intervalMs) {
  Prog.OnTimer = callback;
  Prog.TimerInterval = intervalMs;
}

bool zgl_Init() {
  Prog.ExitRequested = false;
  return Prog.Headless ? RunHeadless() : RunWindow();
}

void zgl_Exit() { Prog.ExitRequested = true; }

void eng_SetCloseHandled(bool handled) { Prog.CloseHandled = handled; }

void eng_RequestClose() {
  if (Prog.CloseHandled)
    Prog.CloseRequested = true;
  else
    zgl_Exit();
}

void eng_RequestEnd() {
  eng_RequestClose();
  Prog.CloseBySystem = Prog.CloseHandled;
}

bool eng_CloseRequestedBySystem() { return Prog.CloseBySystem; }

bool eng_TakeCloseRequest() {
  bool requested = Prog.CloseRequested;
  Prog.CloseRequested = false;
  return requested;
}

void eng_ToggleFullScreen() { eng_SetFullScreen(!Prog.FullScreen); }

void eng_SetFullScreen(bool on) {
  if (!Prog.Window || on == Prog.FullScreen) return;
  if (SDL_SetWindowFullscreen(Prog.Window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0)
    Prog.FullScreen = on;
}

bool eng_FullScreen() { return Prog.FullScreen; }

void eng_SetInputObserver(std::function<void(uint64_t, const zglInputEvent&)> observer) {
  Prog.Observer = std::move(observer);
}

void eng_LockUserInput(bool locked) { Prog.UserInputLocked = locked; }

void eng_SetHeadless(bool headless, uint64_t ticks) {
  Prog.Headless = headless;
  Prog.HeadlessTicks = ticks;
}

void eng_SetHeadlessRender(bool render) { Prog.HeadlessRender = render; }
zglFrameTarget* eng_RenderedTarget() { return Prog.Rendered.get(); }

void eng_DrawCallback() {
  if (Prog.OnDraw) Prog.OnDraw();
}

void eng_SetTickHook(std::function<void(uint64_t)> hook) { Prog.TickHook = std::move(hook); }
uint64_t eng_TicksRun() { return Prog.TicksRun; }
uint64_t eng_CurrentTick() { return Prog.InTick ? Prog.TicksRun + 1 : Prog.TicksRun; }
bool eng_ExitRequested() { return Prog.ExitRequested; }
const std::string& eng_LastError() { return Prog.LastError; }

void eng_SetFinish(std::function<int(bool)> finish) { Prog.Finish = std::move(finish); }

bool eng_InBrowser() {
#ifdef __EMSCRIPTEN__
  return true;
#else
  return false;
#endif
}

void eng_Reset() {
  Prog = Program{};
  eng_ResetInput();
  eng_SetBackend(nullptr);
  Loop = WindowLoop{};
  eng_FreeResources();
  eng_FreeSounds();
}
