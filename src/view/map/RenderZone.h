#pragma once
// A picture of a map without the window: one level of a zone painted with the world's skin
// through the map painter, written as a PNG. No network, no window, no display needed.

#include <filesystem>
#include <string>

namespace view {

struct RenderRequest {
    std::filesystem::path dataDir;
    std::string world; // Windows-1251
    std::string zone;  // Windows-1251
    int level = 0;
    std::filesystem::path out;
};

// Returns 0 when the picture was written; otherwise prints why to standard error and returns
// 1 (no such world or zone, or the file could not be written).
int RenderZone(const RenderRequest& request);

} // namespace view
