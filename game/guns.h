// The planes' guns: firing, the bullets' flight, hits on the other plane and the score for them.
#pragma once

#include <cstdint>

// Fires one bullet from the plane's nose unless it already has its limit in flight or is down.
void FireBullet(int32_t planeIndex);

// Once per running match frame: tests every bullet in flight against the other plane, moves it,
// wraps it at the side edges and removes it when it hits, leaves the playfield or runs out.
void UpdateBullets();

// Removes one bullet of a plane; the younger ones move down a slot and keep their order.
void RemoveBullet(int32_t slot, int32_t planeIndex);
