#include "level/uMap.h"

#include <algorithm>
#include <iostream>
#include <nlohmann/json.hpp>

#include "engine/engine.h"
#include "level/uGameForm.h"
#include "level/uLevelBudget.h"
#include "level/uMapFile.h"
#include "sim/uBattery.h"
#include "sim/uHero.h"
#include "sim/uLazer.h"
#include "sim/uRope.h"
#include "sim/uWorld.h"
#include "ui/uAtlas.h"

TMap::TMap(int cellSize)
    : OriginX((kScreenWidth - kGridColumns * cellSize) / 2 + 17),
      OriginY((kScreenHeight - kGridRows * cellSize) / 2),
      MaxX(kGridColumns * cellSize - 17),
      MaxY(kGridRows * cellSize - 17) {
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

bool TMap::LoadFromFile(const std::string& path, std::string* error) {
  Clear();
  return ReadMapFile(path, this, error);
}

bool TMap::SaveToFile(const std::string& path, std::string* error) {
  return WriteMapFile(*this, path, error);
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

bool TMap::StartGame() {
  DisposeWorld();
  if (std::string over = OverBudget(MeasureLevel(*this)); !over.empty()) {
    std::cerr << "kelvod: the level asks too much of the physics to be played: " << over << "\n";
    Running = false;
    GameForm->Clear();
    return false;
  }
  World = std::make_unique<TWorld>(0, 10);
  // A press still held from before the start (on "Рестарт", say) is not a shot.
  World->PressTaken = mouse_Down(M_BLEFT);
  for (auto& o : Objects) o->CreatePhysics(World.get());
  for (auto& r : Ropes) r->CreatePhysics(World.get());
  Running = true;
  Paused = false;
  GameForm->Clear();
  Update();
  for (auto& o : Objects)
    if (o->Interactive && !dynamic_cast<THero*>(o.get())) GameForm->AddObjectButtons(o.get());
  return true;
}

void TMap::NotePress(bool pointerOnControl) {
  if (!mouse_Down(M_BLEFT)) {
    World->PressTaken = false;
    return;
  }
  // A press that a form or a question took stays theirs.
  if (eng_PressClaimed(M_BLEFT)) World->PressTaken = true;
  if (!mouse_Click(M_BLEFT)) return;
  const int mx = mouse_X(), my = mouse_Y();
  bool onControl = pointerOnControl || GameForm->ObjectAt(mx, my);
  for (auto& o : Objects)
    if (auto* hero = dynamic_cast<THero*>(o.get()); hero && hero->Body && hero->PointerOver(mx, my))
      onControl = true;
  World->PressTaken = onControl || eng_PressClaimed(M_BLEFT);
}

void TMap::Update(bool pointerOnControl) {
  if (!Running || !World) return;
  NotePress(pointerOnControl);
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
      for (auto& l : World->Lasers)
        l->Draw(OriginX, OriginY, static_cast<float>(MaxX + 17), static_cast<float>(MaxY + 17));
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
  for (auto it = Ropes.begin(); it != Ropes.end(); ++it) {
    if (it->get() != item) continue;
    DestroyPhysicsOf(item);
    Ropes.erase(it);
    return true;
  }
  for (auto it = Objects.begin(); it != Objects.end(); ++it) {
    if (it->get() != item) continue;
    TMapObj* object = it->get();
    std::vector<TRope*> joined;
    for (auto& r : Ropes)
      if (r->ObjectA == object || r->ObjectB == object) joined.push_back(r.get());
    for (TRope* r : joined) DestroyPhysicsOf(r);
    std::erase_if(Ropes, [&](const std::unique_ptr<TRope>& r) {
      return std::find(joined.begin(), joined.end(), r.get()) != joined.end();
    });
    GameForm->RemoveButtonsFor(object);
    DestroyPhysicsOf(object);
    Objects.erase(it);
    return true;
  }
  return false;
}

void TMap::DestroyPhysicsOf(TMapObjProt* gone) {
  if (PickedObject == gone) PickedObject = nullptr, Picked = false;
  if (World) {
    World->DestroyBodiesOf(gone, [&](b2Body* body) {
      for (auto& o : Objects) o->ForgetBody(body);
      for (auto& r : Ropes) r->ForgetBody(body);
    });
  }
  gone->ForgetPhysics();
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

bool TMap::AllBatteriesDelivered() const {
  if (!World) return false;
  const auto& batteries = World->Batteries;
  return std::all_of(batteries.begin(), batteries.end(), [](const TBattery* b) { return b->Delivered; });
}
