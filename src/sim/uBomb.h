// A bomb: hot beams heat it; past a threshold its fuse lights, and when the
// fuse has burnt down it explodes, pushing dynamic bodies away three times.
#pragma once

#include "sim/uMapObj.h"
#include "ui/uSounds.h"

// The heat past which a fuse lights.
constexpr float kIgnitionHeat = 245.0f;

// The colour of a heat level: white at 0, turning red as the green and blue
// parts fall by the level each; always a valid 0xRRGGBB value.
uint32_t HeatColour(int32_t heatLevel);

class TBomb : public TMapObj {
 public:
  using TMapObj::TMapObj;
  explicit TBomb(const TMapObj& design) : TMapObj(design) {}

  float Heat = 0;
  int32_t HeatLevel = 0;  // Heat truncated, refreshed when the heat decays
  uint8_t BlastAlpha = 0;
  uint8_t PulseTimer = 0;  // blast ticks until the next push
  uint8_t Fuse = 0;
  zglTCircle Blast{};  // map pixels
  bool Alive = false;
  bool Exploding = false;
  bool FuseLit = false;
  bool BlastHeated = false;  // a blast heated it since its last update
  bool LitByBlast = false;   // the fuse was lit by a blast's heat, not a beam's
  b2Vec2 BlastOrigin{0, 0};
  float BlastScreenX = 0, BlastScreenY = 0;
  b2Vec2 LastPosition{0, 0};  // where the body was when it was destroyed

  void DrawGame() override;
  void Update(int ox, int oy) override;
  void CreatePhysics(TWorld* world) override;
  bool LaserHit(b2Body* body, uint8_t kind) override;
  std::unique_ptr<TMapObjProt> Clone() const override;
  const char* ClassName() const override { return "TBomb"; }
  static constexpr const char* kTag = "BOOMBA";
  const char* KindTag() const override { return kTag; }
  void DumpState(nlohmann::json& out) const override;
  // What is heard when the fuse lights.
  virtual TSound FuseSound() const { return TSound::Fuse; }

 protected:
  void Ignite();
  void BlastStep();
  void Push();
  // Destroys the bomb's own body, remembering where it was.
  void DestroyOwnBody();
  // A halo around (cx, cy), screen pixels, that grows and brightens with the
  // heat, so a bomb or battery about to go off shows it.
  void DrawHeatGlow(float cx, float cy, float radius) const;
};
