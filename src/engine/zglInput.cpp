// Mouse, keyboard and text input: the state the game reads each tick, how a
// window's SDL events change it, and the names keys have in replay files.
#include <algorithm>
#include <array>

#include "engine/zglInternal.h"

namespace {

struct Input {
  int X = 0, Y = 0;
  std::array<bool, 3> Down{}, Click{};
  std::array<bool, 256> KeyDown{}, KeyPress{};
  int ShiftsHeld = 0, CtrlsHeld = 0;  // window: left and right keys counted apart
  bool TextOn = false;
  std::string Typed;
  uint64_t Round = 1;
  std::array<uint64_t, 3> PressRound{};
  std::array<bool, 3> Claimed{};
  std::array<uint8_t, 256> PressModifiers{};  // kShiftBit and kCtrlBit held as the key went down
};

constexpr uint8_t kShiftBit = 1, kCtrlBit = 2;

Input In;

bool ValidButton(int b) { return b >= 0 && b < 3; }
bool ValidKey(int k) { return k >= 0 && k < 256; }

struct NamedKey {
  const char* Name;
  int Code;
};

constexpr NamedKey kNamedKeys[] = {
    {"shift", K_SHIFT},   {"ctrl", K_CTRL},     {"return", K_RETURN},
    {"escape", K_ESCAPE}, {"delete", K_DELETE}, {"backspace", K_BACKSPACE},
    {"left", K_LEFT},     {"right", K_RIGHT},   {"up", K_UP},
    {"down", K_DOWN},     {"space", K_SPACE},   {"tab", K_TAB},
};

int ButtonOf(Uint8 sdlButton) {
  if (sdlButton == SDL_BUTTON_LEFT) return M_BLEFT;
  if (sdlButton == SDL_BUTTON_MIDDLE) return M_BMIDDLE;
  if (sdlButton == SDL_BUTTON_RIGHT) return 2;
  return -1;
}

// The game's code for an SDL key, or -1. Letters follow a Latin keyboard
// layout, so Ctrl+Z is the key marked Z; with a layout of other letters (a
// Russian one, say) the key in the Latin letter's place counts.
int CodeOf(const SDL_Keysym& k) {
  if (k.sym >= SDLK_a && k.sym <= SDLK_z) return K_A + (k.sym - SDLK_a);
  if (k.scancode >= SDL_SCANCODE_A && k.scancode <= SDL_SCANCODE_Z && !(k.sym >= 0 && k.sym < 128))
    return K_A + (k.scancode - SDL_SCANCODE_A);
  if (k.sym >= SDLK_F1 && k.sym <= SDLK_F12) return K_F1 + (k.sym - SDLK_F1);
  switch (k.sym) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return K_RETURN;
    case SDLK_ESCAPE: return K_ESCAPE;
    case SDLK_DELETE: return K_DELETE;
    case SDLK_BACKSPACE: return K_BACKSPACE;
    case SDLK_TAB: return K_TAB;
    case SDLK_SPACE: return K_SPACE;
    case SDLK_LEFT: return K_LEFT;
    case SDLK_RIGHT: return K_RIGHT;
    case SDLK_UP: return K_UP;
    case SDLK_DOWN: return K_DOWN;
    default: return -1;
  }
}

void Report(const ReportInput& report, zglInputEvent e) {
  if (report) report(e);
}

void KeyChange(int code, bool down, const ReportInput& report) {
  if (key_Down(code) == down) return;
  eng_SetKey(code, down);
  zglInputEvent e;
  e.kind = down ? zglInputEvent::KEY_DOWN : zglInputEvent::KEY_UP;
  e.key = code;
  Report(report, e);
}

// Shift and Ctrl: the game sees one key for both sides.
bool HandleModifier(SDL_Scancode sc, bool down, const ReportInput& report) {
  int* held = nullptr;
  int code = 0;
  if (sc == SDL_SCANCODE_LSHIFT || sc == SDL_SCANCODE_RSHIFT) held = &In.ShiftsHeld, code = K_SHIFT;
  if (sc == SDL_SCANCODE_LCTRL || sc == SDL_SCANCODE_RCTRL) held = &In.CtrlsHeld, code = K_CTRL;
  if (!held) return false;
  *held = std::max(0, *held + (down ? 1 : -1));
  KeyChange(code, *held > 0, report);
  return true;
}

void HandleKey(const SDL_KeyboardEvent& k, bool down, const ReportInput& report) {
  if (k.repeat) return;
  if (HandleModifier(k.keysym.scancode, down, report)) return;
  int code = CodeOf(k.keysym);
  if (code >= 0) KeyChange(code, down, report);
}

void HandleButton(const SDL_MouseButtonEvent& b, bool down, const ReportInput& report) {
  int button = ButtonOf(b.button);
  if (button < 0) return;
  zglInputEvent e;
  if (In.X != b.x || In.Y != b.y) {
    eng_SetMouse(b.x, b.y);
    e.kind = zglInputEvent::MOVE, e.x = b.x, e.y = b.y;
    Report(report, e);
  }
  eng_SetButton(button, down);
  e.kind = down ? zglInputEvent::PRESS : zglInputEvent::RELEASE, e.button = button;
  if (button != 2) Report(report, e);
}

}  // namespace

void eng_HandleInputEvent(const SDL_Event& ev, const ReportInput& report) {
  zglInputEvent e;
  switch (ev.type) {
    case SDL_MOUSEMOTION:
      eng_SetMouse(ev.motion.x, ev.motion.y);
      e.kind = zglInputEvent::MOVE, e.x = ev.motion.x, e.y = ev.motion.y;
      Report(report, e);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      HandleButton(ev.button, ev.type == SDL_MOUSEBUTTONDOWN, report);
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      HandleKey(ev.key, ev.type == SDL_KEYDOWN, report);
      break;
    case SDL_TEXTINPUT:
      if (!In.TextOn) break;
      eng_AddText(ev.text.text);
      e.kind = zglInputEvent::TEXT, e.text = ev.text.text;
      Report(report, e);
      break;
    default:
      break;
  }
}

void eng_ResetInput() { In = Input{}; }

void key_ClearState() {
  In.KeyPress.fill(false);
  In.Typed.clear();
}

void mouse_ClearState() {
  In.Click.fill(false);
  ++In.Round;
}

uint64_t eng_InputRound() { return In.Round; }
uint64_t eng_PressRound(int button) { return ValidButton(button) ? In.PressRound[button] : 0; }
int mouse_X() { return In.X; }
int mouse_Y() { return In.Y; }
bool mouse_Down(int button) { return ValidButton(button) && In.Down[button]; }
bool mouse_Click(int button) { return ValidButton(button) && In.Click[button]; }
bool key_Down(int key) { return ValidKey(key) && In.KeyDown[key]; }
bool key_Press(int key) { return ValidKey(key) && In.KeyPress[key]; }

void eng_SetMouse(int x, int y) {
  In.X = x;
  In.Y = y;
}

void eng_SetButton(int button, bool down) {
  if (!ValidButton(button)) return;
  if (down && !In.Down[button]) {
    In.Click[button] = true;
    In.PressRound[button] = In.Round;
    In.Claimed[button] = false;
  }
  In.Down[button] = down;
}

zglMouseState eng_GetMouse() {
  zglMouseState m;
  m.X = In.X, m.Y = In.Y;
  for (int b = 0; b < 3; ++b)
    m.Down[b] = In.Down[b], m.Click[b] = In.Click[b], m.PressRound[b] = In.PressRound[b],
    m.Claimed[b] = In.Claimed[b];
  return m;
}

void eng_PutMouse(const zglMouseState& m) {
  In.X = m.X, In.Y = m.Y;
  for (int b = 0; b < 3; ++b)
    In.Down[b] = m.Down[b], In.Click[b] = m.Click[b], In.PressRound[b] = m.PressRound[b],
    In.Claimed[b] = m.Claimed[b];
}

void eng_SetKey(int key, bool down) {
  if (!ValidKey(key)) return;
  if (down && !In.KeyDown[key]) {
    In.KeyPress[key] = true;
    In.PressModifiers[key] = static_cast<uint8_t>((In.KeyDown[K_SHIFT] ? kShiftBit : 0) |
                                                  (In.KeyDown[K_CTRL] ? kCtrlBit : 0));
  }
  In.KeyDown[key] = down;
}

bool key_HeldAtPress(int key, int modifier) {
  if (!ValidKey(key)) return false;
  const uint8_t bit = modifier == K_SHIFT ? kShiftBit : modifier == K_CTRL ? kCtrlBit : 0;
  return (In.PressModifiers[key] & bit) != 0;
}

void eng_ClaimPress(int button) {
  if (ValidButton(button) && (In.Down[button] || In.Click[button])) In.Claimed[button] = true;
}

bool eng_PressClaimed(int button) { return ValidButton(button) && In.Claimed[button]; }

void eng_AddText(const std::string& text) {
  if (In.TextOn) In.Typed += text;
}

void eng_StartTextInput() {
  In.TextOn = true;
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_StartTextInput();
}

void eng_StopTextInput() {
  In.TextOn = false;
  In.Typed.clear();
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_StopTextInput();
}

bool eng_TextInputActive() { return In.TextOn; }
const std::string& eng_TypedText() { return In.Typed; }

std::string eng_KeyName(int key) {
  for (const NamedKey& k : kNamedKeys)
    if (k.Code == key) return k.Name;
  if (key >= K_A && key <= K_Z) return std::string(1, static_cast<char>(key));
  if (key >= K_F1 && key <= K_F12) return "f" + std::to_string(key - K_F1 + 1);
  return "";
}

int eng_KeyByName(const std::string& name) {
  for (int code = 0; code < 256; ++code)
    if (!eng_KeyName(code).empty() && eng_KeyName(code) == name) return code;
  return -1;
}
