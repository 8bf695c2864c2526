// Callbacks, input state, the window loop, the headless loop and screenshots.
#include <algorithm>
#include <array>
#include <iostream>
#include <memory>

#include "engine/zglInternal.h"

namespace {

struct Program {
  zglCallback OnLoad = nullptr, OnDraw = nullptr, OnExit = nullptr, OnTimer = nullptr;
  int TimerInterval = 15;
  int Width = 1024, Height = 768;
  bool VSync = true;
  bool ShowCursor = true;
  std::string Caption;
  bool Headless = false;
  bool HeadlessRender = false;
  uint64_t HeadlessTicks = 0;
  uint64_t TicksRun = 0;
  bool ExitRequested = false;
  std::string LastError;
  std::function<void(uint64_t)> TickHook;
  std::function<void(uint64_t, const zglInputEvent&)> Observer;
  bool UserInputLocked = false;
};

struct Input {
  int X = 0, Y = 0;
  std::array<bool, 3> Down{}, Click{};
  std::array<bool, 256> KeyDown{};
  int ShiftsHeld = 0, CtrlsHeld = 0;  // window: left and right keys counted apart
};

Program Prog;
Input In;

bool ValidButton(int b) { return b >= 0 && b < 3; }

void RunTick() {
  uint64_t tick = Prog.TicksRun + 1;
  if (Prog.TickHook) Prog.TickHook(tick);
  if (Prog.OnTimer) Prog.OnTimer();
  Prog.TicksRun = tick;
}

void Report(const zglInputEvent& e) {
  if (Prog.Observer) Prog.Observer(Prog.TicksRun + 1, e);
}

int ButtonOf(Uint8 sdlButton) {
  if (sdlButton == SDL_BUTTON_LEFT) return M_BLEFT;
  if (sdlButton == SDL_BUTTON_MIDDLE) return M_BMIDDLE;
  if (sdlButton == SDL_BUTTON_RIGHT) return 2;
  return -1;
}

// Shift and Ctrl: the game sees one key for both sides.
void HandleModifier(const SDL_KeyboardEvent& k, bool down) {
  if (k.repeat) return;
  SDL_Scancode sc = k.keysym.scancode;
  int* held = nullptr;
  int code = 0;
  if (sc == SDL_SCANCODE_LSHIFT || sc == SDL_SCANCODE_RSHIFT) held = &In.ShiftsHeld, code = K_SHIFT;
  if (sc == SDL_SCANCODE_LCTRL || sc == SDL_SCANCODE_RCTRL) held = &In.CtrlsHeld, code = K_CTRL;
  if (!held) return;
  bool before = *held > 0;
  *held = std::max(0, *held + (down ? 1 : -1));
  bool after = *held > 0;
  if (before == after) return;
  eng_SetKey(code, after);
  zglInputEvent e;
  e.kind = after ? zglInputEvent::KEY_DOWN : zglInputEvent::KEY_UP;
  e.key = code;
  Report(e);
}

// Returns false when the window was closed.
bool PumpEvents() {
  SDL_Event ev;
  while (SDL_PollEvent(&ev)) {
    if (ev.type == SDL_QUIT) return false;
    if (Prog.UserInputLocked) continue;
    zglInputEvent e;
    switch (ev.type) {
      case SDL_MOUSEMOTION:
        eng_SetMouse(ev.motion.x, ev.motion.y);
        e.kind = zglInputEvent::MOVE, e.x = ev.motion.x, e.y = ev.motion.y;
        Report(e);
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        int b = ButtonOf(ev.button.button);
        if (b < 0) break;
        bool down = ev.type == SDL_MOUSEBUTTONDOWN;
        if (In.X != ev.button.x || In.Y != ev.button.y) {
          eng_SetMouse(ev.button.x, ev.button.y);
          e.kind = zglInputEvent::MOVE, e.x = ev.button.x, e.y = ev.button.y;
          Report(e);
        }
        eng_SetButton(b, down);
        e.kind = down ? zglInputEvent::PRESS : zglInputEvent::RELEASE, e.button = b;
        if (b != 2) Report(e);
        break;
      }
      case SDL_KEYDOWN:
        HandleModifier(ev.key, true);
        break;
      case SDL_KEYUP:
        HandleModifier(ev.key, false);
        break;
      default:
        break;
    }
  }
  return true;
}

void Fail(const std::string& what) {
  Prog.LastError = what + ": " + SDL_GetError();
  std::cerr << "kelvod: " << Prog.LastError << "\n";
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Error", Prog.LastError.c_str(), nullptr);
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
  if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  if (!renderer) {
    Fail("cannot draw into the window");
    SDL_DestroyWindow(window);
    SDL_Quit();
    return false;
  }
  SDL_RenderSetLogicalSize(renderer, Prog.Width, Prog.Height);
  SDL_ShowCursor(Prog.ShowCursor ? SDL_ENABLE : SDL_DISABLE);
  eng_InitLibraries();
  {
    auto backend = std::make_unique<zglSdlBackend>(renderer);
    eng_SetBackend(backend.get());
    if (Prog.OnLoad) Prog.OnLoad();
    const Uint64 interval = static_cast<Uint64>(std::max(1, Prog.TimerInterval));
    const int maxCatchUp = 4;
    Uint64 next = SDL_GetTicks64() + interval;
    while (!Prog.ExitRequested) {
      if (!PumpEvents()) break;
      Uint64 now = SDL_GetTicks64();
      int ran = 0;
      while (now >= next && ran < maxCatchUp && !Prog.ExitRequested) {
        RunTick();
        next += interval;
        ++ran;
      }
      if (now >= next) next = now + interval;  // after a stall: skip, never spiral
      if (Prog.ExitRequested) break;
      SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
      SDL_RenderClear(renderer);
      if (Prog.OnDraw) Prog.OnDraw();
      SDL_RenderPresent(renderer);
      if (!Prog.VSync) SDL_Delay(1);
    }
    if (Prog.OnExit) Prog.OnExit();
    eng_SetBackend(nullptr);
  }
  SDL_DestroyRenderer(renderer);
  SDL_DestroyWindow(window);
  SDL_Quit();
  return true;
}

bool RunHeadless() {
  std::unique_ptr<zglFrameTarget> target;
  if (Prog.HeadlessRender) {
    std::string error;
    target = zglFrameTarget::Offscreen(Prog.Width, Prog.Height, &error);
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

void zgl_Reg(int kind, zglCallback callback) {
  if (kind == SYS_LOAD) Prog.OnLoad = callback;
  if (kind == SYS_DRAW) Prog.OnDraw = callback;
  if (kind == SYS_EXIT) Prog.OnExit = callback;
}

void scr_SetOptions(int width, int height, int /*refresh*/, bool /*fullScreen*/, bool vsync) {
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

bool zgl_Init(int /*fsaa*/, int /*stencil*/) {
  Prog.ExitRequested = false;
  return Prog.Headless ? RunHeadless() : RunWindow();
}

void zgl_Exit() { Prog.ExitRequested = true; }

void key_ClearState() {}
void mouse_ClearState() { In.Click.fill(false); }
int mouse_X() { return In.X; }
int mouse_Y() { return In.Y; }
bool mouse_Down(int button) { return ValidButton(button) && In.Down[button]; }
bool mouse_Click(int button) { return ValidButton(button) && In.Click[button]; }
bool key_Down(int key) { return key >= 0 && key < 256 && In.KeyDown[key]; }

void eng_SetMouse(int x, int y) {
  In.X = x;
  In.Y = y;
}

void eng_SetButton(int button, bool down) {
  if (!ValidButton(button)) return;
  if (down && !In.Down[button]) In.Click[button] = true;
  In.Down[button] = down;
}

void eng_SetKey(int key, bool down) {
  if (key >= 0 && key < 256) In.KeyDown[key] = down;
}

void eng_SetInputObserver(std::function<void(uint64_t, const zglInputEvent&)> observer) {
  Prog.Observer = std::move(observer);
}

void eng_LockUserInput(bool locked) { Prog.UserInputLocked = locked; }

void eng_SetHeadless(bool headless, uint64_t ticks) {
  Prog.Headless = headless;
  Prog.HeadlessTicks = ticks;
}

void eng_SetHeadlessRender(bool render) { Prog.HeadlessRender = render; }

void eng_DrawCallback() {
  if (Prog.OnDraw) Prog.OnDraw();
}

void eng_SetTickHook(std::function<void(uint64_t)> hook) { Prog.TickHook = std::move(hook); }
uint64_t eng_TicksRun() { return Prog.TicksRun; }
bool eng_ExitRequested() { return Prog.ExitRequested; }
const std::string& eng_LastError() { return Prog.LastError; }

void eng_Reset() {
  Prog = Program{};
  In = Input{};
  eng_SetBackend(nullptr);
  eng_FreeResources();
}
