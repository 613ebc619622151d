#pragma once
// The background textures of the map panel: 64 x 64 tiles that repeat seamlessly, drawn once
// when first asked for. Texture 0 is a quiet grey paving close to the map's default colour, so
// the map reads the same with it as without.

#include <QImage>

#include <vector>

namespace view {

inline constexpr int kTextureSize = 64;

const std::vector<QImage>& BackgroundTextures();

} // namespace view
