#pragma once
// The areas of the region, laid in this order (room numbers follow it): the village and the
// road (RegionWorld.cpp), the valley, the hills, the caves and the forest (RegionWilds.cpp).

namespace demo {

class RegionBuilder;

void LayValley(RegionBuilder& b);
void LayHills(RegionBuilder& b);
void LayCaves(RegionBuilder& b);
void LayForest(RegionBuilder& b);

} // namespace demo
