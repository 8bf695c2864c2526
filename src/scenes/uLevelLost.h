// The failure notice: the rule that tells when a running level can no longer
// be won, and the form that says so and offers "Рестарт".
#pragma once

#include <string>

#include "scenes/uGame.h"
#include "ui/uLang.h"

class TMap;

// The reasons the failure form names.
inline constexpr const char* kLostBatteryExploded = N_("Батарея взорвалась");
inline constexpr const char* kLostBatteryFell = N_("Батарея упала за край");
inline constexpr const char* kLostHeroFell = N_("Робот упал за край");

// Why the running map can no longer be won, or "" while it still can. A
// battery not yet collected is lost when it has exploded, or when it has
// fallen for good: more than its own height below `fieldBottom` (map pixels),
// below every static body, and so is everything a rope still joins it to.
// Heroes count only when every one of them has fallen so. A collected battery
// is delivered whatever happens next, so it never loses the level.
std::string LostReason(const TMap& map, float fieldBottom);

// "Уровень не пройден" with the reason in a small line and "Рестарт"; it
// fades in like the win form.
class TLostForm : public TResultForm {
 public:
  // The form holds its restart button at (0, 64), drawn with `sprite` and hit
  // through `shape` (both shared, not owned).
  TLostForm(int x, int y, uint8_t alpha, tScene* owner, TMeFormShape* shape, TMeDrawRect* sprite);

  std::string Reason;

  // Shows the form; the one place the failure notice appears.
  void Show(const std::string& reason);
  void Draw() override;
};
