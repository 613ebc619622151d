#pragma once
// The map model in one piece: the world with its room lists and lookups, the direction words,
// creation and linking, and the editing operations, wired to one profile and one MapUi.

#include "map/DirectionWords.h"
#include "map/MapEditor.h"
#include "map/MapLinker.h"
#include "map/MapWorld.h"

namespace map {

class MapModel {
public:
    MapModel(const profile::WorldProfile& profile, MapUi& ui)
        : world_(profile, ui), words_(profile), linker_(world_, words_),
          editor_(world_, linker_, words_) {}
    MapModel(const MapModel&) = delete;
    MapModel& operator=(const MapModel&) = delete;

    MapWorld& World() { return world_; }
    const DirectionWords& Words() const { return words_; }
    MapLinker& Linker() { return linker_; }
    MapEditor& Editor() { return editor_; }

private:
    MapWorld world_;
    DirectionWords words_;
    MapLinker linker_;
    MapEditor editor_;
};

} // namespace map
