#include "scenes/uLevelLost.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "level/uMap.h"
#include "scenes/uGame.h"
#include "sim/uBattery.h"
#include "sim/uHero.h"
#include "sim/uWorld.h"
#include "ui/uLang.h"
#include "ui/uResources.h"
#include "ui/uSounds.h"

namespace {

constexpr uint32_t kLostCaptionColor = 0xC00000;
constexpr uint32_t kReasonColor = 0x50505F;

// The top and bottom of a body's fixtures, map pixels.
struct TExtent {
  float Top, Bottom;
};

TExtent ExtentOf(const b2Body& body) {
  TExtent e{std::numeric_limits<float>::max(), std::numeric_limits<float>::lowest()};
  for (const b2Fixture* f = body.GetFixtureList(); f; f = f->GetNext()) {
    const b2Shape* shape = f->GetShape();
    for (int32 child = 0; child < shape->GetChildCount(); ++child) {
      b2AABB box;
      shape->ComputeAABB(&box, body.GetTransform(), child);
      e.Top = std::min(e.Top, box.lowerBound.y);
      e.Bottom = std::max(e.Bottom, box.upperBound.y);
    }
  }
  if (e.Top > e.Bottom) e = {body.GetPosition().y, body.GetPosition().y};
  return e;
}

// The lowest point of every static body: nothing below it has anything left
// to land on.
float LowestStaticPoint(const b2World& world) {
  float lowest = std::numeric_limits<float>::lowest();
  for (const b2Body* b = world.GetBodyList(); b; b = b->GetNext())
    if (b->GetType() == b2_staticBody) lowest = std::max(lowest, ExtentOf(*b).Bottom);
  return lowest;
}

// The body is below the field by more than its own height and falls freely:
// nothing it is still joined to (through enabled bodies: a burnt rope segment
// holds nothing) is static or above the lowest static point.
bool FallenForGood(const b2Body& body, float fieldBottom, float lowestStatic) {
  const TExtent own = ExtentOf(body);
  if (own.Top <= fieldBottom + (own.Bottom - own.Top)) return false;
  std::vector<const b2Body*> seen{&body}, open{&body};
  while (!open.empty()) {
    const b2Body* b = open.back();
    open.pop_back();
    if (b->GetType() == b2_staticBody || ExtentOf(*b).Top <= lowestStatic) return false;
    for (const b2JointEdge* j = b->GetJointList(); j; j = j->next) {
      const b2Body* other = j->other;
      if (!other->IsEnabled() || std::find(seen.begin(), seen.end(), other) != seen.end()) continue;
      seen.push_back(other);
      open.push_back(other);
    }
  }
  return true;
}

}  // namespace

std::string LostReason(const TMap& map, float fieldBottom) {
  if (!map.World || !map.World->PhysicsWorld) return "";
  const float lowestStatic = LowestStaticPoint(*map.World->PhysicsWorld);
  auto fallen = [&](const b2Body* body) {
    return body && FallenForGood(*body, fieldBottom, lowestStatic);
  };
  bool waiting = false;  // a battery still has to be collected
  for (const TBattery* battery : map.World->Batteries) {
    if (battery->Taken) continue;
    // A battery whose fuse a beam's heat lit overheated; one a blast lit blew up.
    if (!battery->Alive) return battery->LitByBlast ? kLostBatteryExploded : kLostBatteryOverheated;
    if (fallen(battery->Body)) return kLostBatteryFell;
    waiting = true;
  }
  if (!waiting) return "";
  int heroes = 0, heroesFallen = 0;
  for (const auto& o : map.Objects) {
    const auto* hero = dynamic_cast<const THero*>(o.get());
    if (!hero || !hero->Body) continue;
    ++heroes;
    heroesFallen += fallen(hero->Body) ? 1 : 0;
  }
  return heroes > 0 && heroesFallen == heroes ? kLostHeroFell : "";
}

TLostForm::TLostForm(int x, int y, uint8_t alpha, tScene* owner, TMeFormShape* shape,
                     TMeDrawRect* sprite)
    : TResultForm(x, y, alpha, owner, kLostCaptionColor) {
  auto* restart = AddNew<TButtonReset>(*this, 0, 64, shape, sprite, this);
  restart->Caption = N_("Рестарт");
  Button = restart;
  SolutionButton = AddNew<TButtonSolution>(*this, 0, 112, shape, sprite, this);
  SolutionButton->Caption = N_("Решение");
  OfferSolution(false);
  Caption = N_("Уровень не пройден");
}

void TLostForm::OfferSolution(bool offered) {
  SolutionButton->Visible = offered;
  Height = offered ? 250 : 200;
}

void TLostForm::Show(const std::string& reason) {
  Reason = reason;
  StartFadeIn();
  PlaySound(TSound::Lost);
}

void TLostForm::Draw() {
  TResultForm::Draw();
  text_DrawEx(MainFont, static_cast<float>(X), static_cast<float>(Y + 3), 1.0f, Tr(Reason), Alpha,
              kReasonColor, TEXT_HALIGN_CENTER);
}
