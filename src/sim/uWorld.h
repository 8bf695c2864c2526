// One Box2D world for one run of a map: the game's physical constants, bodies
// made from hit shapes, and the lists the level objects share while it runs.
// Units: one length unit is one map pixel, Y grows downwards.
#pragma once

#include <box2d/box2d.h>

#include <functional>
#include <memory>
#include <vector>

class TLazer;
class TBattery;
class TMapObjProt;
class TMeFormShape;

constexpr float kDegToRad = 0.017453292f;
constexpr float kRadToDeg = 57.29578049f;
constexpr float kPi = 3.141592654f;

// Listens to the bodies' new contacts and keeps the hardest of each tick, to
// be heard as knocks. It only reads: the simulation goes exactly as without it.
class TImpactListener : public b2ContactListener {
 public:
  struct TImpact {
    float Speed;  // how fast the two closed on each other, pixels per second
    float X;      // where, map pixels
  };
  std::vector<TImpact> Heard;
  void BeginContact(b2Contact* contact) override;
};

class TWorld {
 public:
  TWorld(int gravityX, int gravityY);
  ~TWorld();
  TWorld(const TWorld&) = delete;
  TWorld& operator=(const TWorld&) = delete;

  std::unique_ptr<b2World> PhysicsWorld;
  std::vector<b2Body*> Bodies;                  // made by CreateBody; owned by PhysicsWorld
  std::vector<std::unique_ptr<TLazer>> Lasers;  // this tick's beams
  std::vector<TBattery*> Batteries;             // registered by the batteries; not owned
  // The left button's press began on a control (a turn button, a hero, a
  // button around the field) or before this run: it heats no beam until it
  // is let go. Kept by the map before each tick.
  bool PressTaken = false;

  // Two steps of 1/30 s, then the forces are cleared; the hardest new contacts
  // of the two steps are heard as knocks.
  void Step();
  // A body with one fixture (density 1) from a hit shape: a rectangle becomes
  // a box centred on (x, y), anything else a circle. Angle in whole degrees.
  b2Body* CreateBody(int x, int y, int angle, const TMeFormShape* shape, bool dynamic);
  // Destroys a body made in this world (with its fixtures and joints) and
  // forgets it. The caller clears its own pointers to it.
  void DestroyBody(b2Body* body);
  // Destroys every joint and body and empties the lists.
  void Clear();
  // Destroys every body that belongs to `object` (it is leaving the map),
  // with their fixtures and joints, and takes it off the battery list.
  // `beforeEach` is told of each body first, so pointers to it can be cleared.
  void DestroyBodiesOf(const TMapObjProt* object, const std::function<void(b2Body*)>& beforeEach);

  // The level object a body belongs to (its user data), or null.
  static TMapObjProt* ObjectOf(const b2Body* body);
  static void SetObject(b2Body* body, TMapObjProt* object);

  static constexpr float kTimeStep = 1.0f / 30.0f;
  static constexpr int kVelocityIterations = 7;
  static constexpr int kPositionIterations = 5;
  // Knocks: contacts closing slower than kImpactQuiet are not heard; from
  // there the knock grows louder up to kImpactLoud; at most kImpactsPerTick a
  // tick (one sound started twice in a tick is heard once anyway).
  static constexpr float kImpactQuiet = 12.0f, kImpactLoud = 50.0f;
  static constexpr size_t kImpactsPerTick = 1;

 private:
  TImpactListener Impacts;
  void PlayImpacts();
  // The fixture of a hit shape (density 1); none for a shape without area.
  void AddShape(b2Body* body, const TMeFormShape* shape);
};
