#include "scenes/uGame.h"

#include "engine/zgl.h"

void TGame::Draw() { pr2d_Rect(0, 0, 1024, 768, 0x505050, 255, PR2D_FILL); }

void TGame::Start(int32_t) {}
