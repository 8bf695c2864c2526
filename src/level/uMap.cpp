#include "level/uMap.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>

#include "app/uGlobals.h"
#include "level/uMapFile.h"
#include "scenes/uGameForm.h"
#include "ui/uAtlas.h"
#include "sim/uBattery.h"
#include "sim/uHero.h"
#include "sim/uLazer.h"
#include "sim/uRope.h"
#include "sim/uWorld.h"

namespace {


// Coordinates and sizes a level file may hold; anything beyond is not a level.
constexpr int32_t kMaxCoordinate = 10000;
constexpr int32_t kMaxSize = 10000;
constexpr size_t kMaxRecords = 10000;

std::unique_ptr<TMapObj> MakeObject(const TMapRecord& r, TMeDrawRect* sprite) {
  if (r.KindTag == "MAPOBJ") return std::make_unique<TMapObj>(r, sprite);
  if (r.KindTag == "LAZBOX") return std::make_unique<TLazerBox>(r, sprite);
  if (r.KindTag == "BOOMBA") return std::make_unique<TBomb>(r, sprite);
  if (r.KindTag == "HERO") return std::make_unique<THero>(r, sprite);
  if (r.KindTag == "BATT") return std::make_unique<TBattery>(r, sprite);
  return nullptr;
}

bool InRange(int32_t v, int32_t limit) { return v >= -limit && v <= limit; }

// What is wrong with an object record, or "" when it can be built.
std::string CheckObjectRecord(const TMapRecord& r) {
  if (r.SpriteKind < 1 || r.SpriteKind > kSpriteKinds)
    return "sprite kind " + std::to_string(r.SpriteKind) + " is not 1..12";
  if (r.ShapeTag != "RECT" && r.ShapeTag != "CIRC") return "its shape is neither RECT nor CIRC";
  bool circle = r.ShapeTag == "CIRC";
  if (r.ShapeW <= 0 || (!circle && r.ShapeH <= 0) || r.Width <= 0 || r.Height <= 0)
    return "its size is not positive";
  if (r.ShapeW > kMaxSize || r.ShapeH > kMaxSize || r.Width > kMaxSize || r.Height > kMaxSize)
    return "its size is too large";
  if (!InRange(r.X, kMaxCoordinate) || !InRange(r.Y, kMaxCoordinate) ||
      !InRange(r.SpriteDX, kMaxCoordinate) || !InRange(r.SpriteDY, kMaxCoordinate))
    return "its position is out of range";
  return "";
}

std::string CheckRopeRecord(const TMapRecord& r, size_t objectsRead) {
  if (r.SpriteKind < 1 || r.SpriteKind > kSpriteKinds)
    return "sprite kind " + std::to_string(r.SpriteKind) + " is not 1..12";
  auto valid = [&](int32_t i) { return i >= 0 && static_cast<size_t>(i) < objectsRead; };
  if (!valid(r.RopeA) || !valid(r.RopeB)) return "it joins objects that are not in the file before it";
  if (!InRange(r.OffsetAX, kMaxCoordinate) || !InRange(r.OffsetAY, kMaxCoordinate) ||
      !InRange(r.OffsetBX, kMaxCoordinate) || !InRange(r.OffsetBY, kMaxCoordinate))
    return "its offsets are out of range";
  return "";
}

TMapRecord ObjectRecord(const TMapObj& o) {
  TMapRecord r;
  r.X = o.X;
  r.Y = o.Y;
  if (auto* c = dynamic_cast<const TShapeCircle*>(o.Shape.get())) {
    r.ShapeTag = "CIRC";
    r.ShapeW = r.ShapeH = static_cast<int32_t>(c->Circle.Radius);
  } else if (auto* rect = dynamic_cast<const TShapeRect*>(o.Shape.get())) {
    r.ShapeTag = "RECT";
    r.ShapeW = static_cast<int32_t>(rect->Rect.W);
    r.ShapeH = static_cast<int32_t>(rect->Rect.H);
  }
  r.KindTag = o.KindTag();
  r.Dynamic = o.Dynamic;
  r.Interactive = o.Interactive;
  r.Frame = o.Frame;
  r.SpriteDX = o.SpriteDX;
  r.SpriteDY = o.SpriteDY;
  r.Width = o.Width;
  r.Height = o.Height;
  r.Angle = o.Angle;
  r.SpriteKind = o.Sprite ? o.Sprite->Tag : 0;
  return r;
}

bool WriteAll(int fd, const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

TMap::TMap(int cellSize)
    : OriginX((1024 - 18 * cellSize) / 2 + 17), OriginY((768 - 20 * cellSize) / 2),
      MaxX(18 * cellSize - 17), MaxY(20 * cellSize - 17) {
  Objects.reserve(150);
  Ropes.reserve(50);
  GameForm = std::make_unique<TGameForm>(OriginX, OriginY, 240, nullptr, this);
  for (int kind = 1; kind <= kSpriteKinds; ++kind) {
    Sprites[kind] = MakeAtlasSprite(Atlas::SpriteKind(kind));
    Sprites[kind]->Tag = kind;
  }
}

TMap::~TMap() { Clear(); }

TMeDrawRect* TMap::Sprite(int kind) const {
  return kind >= 1 && kind <= kSpriteKinds ? Sprites[kind].get() : nullptr;
}

void TMap::DisposeWorld() {
  for (auto& o : Objects) o->ForgetPhysics();
  for (auto& r : Ropes) r->ForgetPhysics();
  if (World) World->Clear();
  World.reset();
}

void TMap::Clear() {
  DisposeWorld();
  if (GameForm) GameForm->Clear();
  PickedObject = nullptr;
  Picked = false;
  Objects.clear();
  Ropes.clear();
}

bool TMap::LoadFromFile(const std::string& path) {
  Clear();
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return true;
  std::ifstream in(path, std::ios::binary);
  if (!in || std::filesystem::is_directory(path, ec)) {
    std::cerr << "kelvod: cannot read the level \"" << path << "\"\n";
    return false;
  }
  TMapRecordBytes bytes;
  size_t number = 0;
  while (number < kMaxRecords) {
    in.read(reinterpret_cast<char*>(bytes.data()), kMapRecordSize);
    std::streamsize got = in.gcount();
    if (got == 0) break;
    ++number;
    if (got < static_cast<std::streamsize>(kMapRecordSize)) {
      std::cerr << "kelvod: " << path << ": record " << number << " is incomplete (" << got
                << " of 80 bytes); ignored\n";
      break;
    }
    TMapRecord r = DecodeMapRecord(bytes);
    auto skip = [&](const std::string& why) {
      std::cerr << "kelvod: " << path << ": record " << number << " skipped: " << why << "\n";
    };
    if (r.KindTag == "ROPE") {
      std::string problem = CheckRopeRecord(r, Objects.size());
      if (!problem.empty()) {
        skip(problem);
        continue;
      }
      Ropes.push_back(std::make_unique<TRope>(Sprite(r.SpriteKind), Objects[r.RopeA].get(),
                                              Objects[r.RopeB].get(), r.OffsetAX, r.OffsetAY,
                                              r.OffsetBX, r.OffsetBY));
      continue;
    }
    if (r.KindTag != "MAPOBJ" && r.KindTag != "LAZBOX" && r.KindTag != "BOOMBA" &&
        r.KindTag != "HERO" && r.KindTag != "BATT")
      continue;  // not a kind this game knows: skipped silently
    std::string problem = CheckObjectRecord(r);
    if (!problem.empty()) {
      skip(problem);
      continue;
    }
    Objects.push_back(MakeObject(r, Sprite(r.SpriteKind)));
  }
  if (number >= kMaxRecords && in.peek() != EOF)
    std::cerr << "kelvod: " << path << ": more than " << kMaxRecords << " records; the rest is ignored\n";
  if (in.bad()) {
    std::cerr << "kelvod: error while reading the level \"" << path << "\"\n";
    return false;
  }
  return true;
}

bool TMap::SaveToFile(const std::string& path, std::string* error) {
  std::vector<uint8_t> bytes;
  auto append = [&](const TMapRecord& r) {
    TMapRecordBytes b = EncodeMapRecord(r);
    bytes.insert(bytes.end(), b.begin(), b.end());
  };
  for (const auto& o : Objects) append(ObjectRecord(*o));
  for (const auto& rope : Ropes) {
    int a = IndexOf(rope->ObjectA), b = IndexOf(rope->ObjectB);
    if (a < 0 || b < 0) continue;  // a rope must join two objects of this map
    TMapRecord r;
    r.KindTag = r.ShapeTag = "ROPE";
    r.RopeA = a;
    r.RopeB = b;
    r.X = rope->X;
    r.Y = rope->Y;
    r.OffsetAX = rope->OffsetAX;
    r.OffsetAY = rope->OffsetAY;
    r.OffsetBX = rope->OffsetBX;
    r.OffsetBY = rope->OffsetBY;
    r.SpriteKind = rope->Sprite ? rope->Sprite->Tag : kRopeSpriteKind;
    r.Dynamic = true;
    append(r);
  }

  std::string temp = path + ".saving";
  auto fail = [&](const std::string& what) {
    std::string message = "cannot save the level \"" + path + "\": " + what;
    std::cerr << "kelvod: " << message << "\n";
    if (error) *error = message;
    ::unlink(temp.c_str());
    return false;
  };
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    std::string why = std::strerror(errno);
    if (error) *error = "cannot save the level \"" + path + "\": " + why;
    std::cerr << "kelvod: cannot save the level \"" << path << "\": " << why << "\n";
    return false;
  }
  bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  std::string why = written ? "" : std::strerror(errno);
  if (::close(fd) != 0 && written) written = false, why = std::strerror(errno);
  if (!written) return fail(why);
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return fail("it is a folder");
  if (::rename(temp.c_str(), path.c_str()) != 0) return fail(std::strerror(errno));
  return true;
}

bool TMap::PickAt(int x, int y, TMapObjProt* current, bool withRopes) {
  const int lx = x - OriginX, ly = y - OriginY;
  Picked = false;
  PickedObject = nullptr;
  for (auto& o : Objects) {
    if (o.get() == current) continue;
    if (o->HitTest(lx, ly)) {
      PickedObject = o.get();
      Picked = true;
      break;
    }
  }
  if (withRopes) {
    for (auto& r : Ropes) {
      if (r.get() == current) continue;
      if (r->HitTest(lx, ly)) {
        PickedObject = r.get();
        Picked = true;
        break;
      }
    }
  }
  if (!Picked && current && current->HitTest(lx, ly)) {
    PickedObject = current;
    Picked = true;
  }
  if (Picked) {
    DragDX = PickedObject->X - lx;
    DragDY = PickedObject->Y - ly;
  }
  return Picked;
}

void TMap::StartGame() {
  DisposeWorld();
  World = std::make_unique<TWorld>(0, 10);
  for (auto& o : Objects) o->CreatePhysics(World.get());
  for (auto& r : Ropes) r->CreatePhysics(World.get());
  Running = true;
  Paused = false;
  GameForm->Clear();
  Update();
  for (auto& o : Objects)
    if (o->Interactive && !dynamic_cast<THero*>(o.get())) GameForm->AddObjectButtons(o.get());
}

void TMap::Update() {
  if (!Running || !World) return;
  for (auto it = World->Lasers.rbegin(); it != World->Lasers.rend(); ++it) it->reset();
  World->Lasers.clear();
  if (!Paused) World->Step();
  for (auto& o : Objects) o->Update(OriginX, OriginY);
  for (auto& r : Ropes) r->Update(OriginX, OriginY);
  for (auto& l : World->Lasers) l->Trace();
  GameForm->Update(mouse_X(), mouse_Y());
}

void TMap::Draw() {
  if (Running) {
    for (auto& o : Objects) o->DrawGame();
    for (auto& r : Ropes) r->DrawGame();
    if (World)
      for (auto& l : World->Lasers) l->Draw(OriginX, OriginY);
    GameForm->Draw();
  } else {
    for (auto& o : Objects) o->DrawEditor(OriginX, OriginY);
    for (auto& r : Ropes) r->DrawEditor(OriginX, OriginY);
  }
}

int TMap::IndexOf(const TMapObjProt* item) const {
  if (!item) return -1;
  for (size_t i = 0; i < Objects.size(); ++i)
    if (Objects[i].get() == item) return static_cast<int>(i);
  for (size_t i = 0; i < Ropes.size(); ++i)
    if (Ropes[i].get() == item) return static_cast<int>(i);
  return -1;
}

bool TMap::Remove(TMapObjProt* item) {
  if (!item) return false;
  auto forget = [&](TMapObjProt* gone) {
    if (World) World->DetachObject(gone);
    if (PickedObject == gone) PickedObject = nullptr, Picked = false;
  };
  for (auto it = Ropes.begin(); it != Ropes.end(); ++it) {
    if (it->get() != item) continue;
    forget(item);
    (*it)->ForgetPhysics();
    Ropes.erase(it);
    return true;
  }
  for (auto it = Objects.begin(); it != Objects.end(); ++it) {
    if (it->get() != item) continue;
    TMapObj* object = it->get();
    std::erase_if(Ropes, [&](const std::unique_ptr<TRope>& r) {
      bool joined = r->ObjectA == object || r->ObjectB == object;
      if (joined) forget(r.get());
      return joined;
    });
    GameForm->RemoveButtonsFor(object);
    forget(object);
    object->ForgetPhysics();
    Objects.erase(it);
    return true;
  }
  return false;
}

nlohmann::json TMap::DumpState() const {
  nlohmann::json j;
  j["running"] = Running;
  j["paused"] = Paused;
  j["has_world"] = World != nullptr;
  auto index = [&](const TMapObjProt* o) {
    int i = IndexOf(o);
    return i < 0 ? nlohmann::json() : nlohmann::json(i);
  };
  j["objects"] = nlohmann::json::array();
  for (const auto& o : Objects) {
    nlohmann::json e;
    o->DumpState(e);
    j["objects"].push_back(e);
  }
  j["ropes"] = nlohmann::json::array();
  for (const auto& r : Ropes) {
    nlohmann::json e;
    e["object_a"] = index(r->ObjectA);
    e["object_b"] = index(r->ObjectB);
    e["offsets"] = {r->OffsetAX, r->OffsetAY, r->OffsetBX, r->OffsetBY};
    e["x"] = r->X;
    e["y"] = r->Y;
    e["drop_a"] = r->DropA;
    e["drop_b"] = r->DropB;
    e["segments"] = nlohmann::json::array();
    for (size_t i = 0; i < r->Segments.size(); ++i) {
      const b2Body* s = r->Segments[i];
      e["segments"].push_back({{"x", s->GetPosition().x},
                               {"y", s->GetPosition().y},
                               {"enabled", s->IsEnabled()},
                               {"heat", i < r->SegmentHeat.size() ? r->SegmentHeat[i] : 0}});
    }
    j["ropes"].push_back(e);
  }
  j["lasers"] = nlohmann::json::array();
  j["batteries"] = nlohmann::json::array();
  if (World) {
    for (const auto& l : World->Lasers) {
      nlohmann::json e;
      l->DumpState(e);
      j["lasers"].push_back(e);
    }
    for (const TBattery* b : World->Batteries) j["batteries"].push_back(index(b));
  }
  j["game_form_buttons"] = GameForm->Objects.size();
  return j;
}
