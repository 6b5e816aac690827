// The flight model: gravity and climb loss, movement, crashes into the ground and the tower,
// scoring a crash, the respawn on the runway and the playfield's edges.
#pragma once

#include <cstdint>

// Once per running match frame, for every plane: takes the integer screen position, finds and
// counts a crash, respawns a plane whose fire has gone out, wraps or stops it at the playfield's
// edges and limits its speed.
void UpdatePlanes();

// The sink under gravity and the speed lost climbing (or gained diving) of one plane in the air.
void ApplyGravity(int32_t planeIndex);

// Moves one plane by its speed along its heading; every control routine ends with it.
void MovePlane(int32_t planeIndex);

// 1 when the plane is inside the tower's collision box, else 0.
int32_t HitsTower(int32_t planeIndex);
