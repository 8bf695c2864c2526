// The player's figure: its laser is switched on by a click, aimed with the
// pointer and made hot with the left button; it collects batteries.
#pragma once

#include "sim/uMapObj.h"

class THero : public TMapObj {
 public:
  using TMapObj::TMapObj;
  explicit THero(const TMapObj& design) : TMapObj(design) {}

  bool Firing = false;       // the beam is hot
  uint8_t Brightness = 0;    // overlay alpha outside the charge animation
  uint8_t OverlayAlpha = 0;  // overlay alpha this frame
  float BeamLength = 0;
  bool Armed = false;  // the laser is on
  zglTCircle HeadCircle{};        // map coordinates
  zglTCircle HeadCircleScreen{};  // screen coordinates
  bool Charging = false;
  uint8_t Flash = 0;  // extra alpha of the head glow
  float ChargePhase = 0;
  float ChargeAngle = 0;

  static constexpr float kHeadRadius = 35.7f;
  static constexpr float kMuzzleDistance = 11.0f;
  static constexpr float kHeadDistance = 15.0f;

  void DrawGame() override;
  void Update(int ox, int oy) override;
  void CreatePhysics(TWorld* world) override;
  // Starts the glow animation (collecting a battery, being reached by a blast).
  void StartCharge(float phase);
  std::unique_ptr<TMapObjProt> Clone() const override;
  const char* ClassName() const override { return "THero"; }
  static constexpr const char* kTag = "HERO";
  const char* KindTag() const override { return kTag; }
  void DumpState(nlohmann::json& out) const override;
  // Is the screen point inside the unrotated sprite rectangle shrunk by 2
  // pixels (where a click switches the laser)?
  bool PointerOver(int mx, int my) const;

 private:
  // Unit vector from the head toward the feet, turning with the body.
  b2Vec2 FeetDirection() const;
  // Beam length, brightness and this tick's beam toward the map point (mx, my).
  void Aim(float mx, float my, b2Vec2 muzzle);
  // Charge animation, overlay alpha and the fading head glow.
  void Animate();
  void DrawOverlay(int frame, uint8_t alpha) const;
};
