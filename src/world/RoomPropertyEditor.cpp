#include "world/RoomPropertyEditor.h"

#include "map/MapModel.h"
#include "profile/WorldProfile.h"

#include <vector>

namespace storage {

using map::Dir;
using map::TMudRoom2;

namespace {
constexpr std::array<Dir, map::kDirCount> kLetterOrder{map::North, map::South, map::East,
                                                       map::West,  map::Up,    map::Down};
// Unchecking one of these removes the link itself; up and down only lose the flag.
constexpr std::array<Dir, 4> kUnlinkOrder{map::North, map::South, map::West, map::East};

bool* FlagOf(TMudRoom2& room, int box) {
    switch (box) {
    case 1:
        return &room.DT;
    case 2:
        return &room.FlyDT;
    case 3:
        return &room.Agro;
    case 4:
        return &room.NoStep;
    }
    return nullptr;
}
} // namespace

char CheckedExitLetter(Dir d) {
    constexpr char letters[map::kDirCount + 1] = "NSEWUD"; // in the order of Dir
    return letters[d];
}

bool HasCheckedExitLetter(std::string_view letters, Dir d) {
    return letters.find(CheckedExitLetter(d)) != std::string_view::npos;
}

std::string CheckedExitLetters(const TMudRoom2& room) {
    std::string letters;
    for (Dir d : kLetterOrder)
        if (room.Ch(d)) letters += CheckedExitLetter(d);
    return letters;
}

RoomPropertyEditor::RoomPropertyEditor(WorldStore& store, TMudRoom2& room)
    : store_(store), room_(room) {
    room_.Checked = false;
    preview_.BColor = map::kSilver;
    preview_.Selected = true;
}

RoomPropertyTexts RoomPropertyEditor::Texts() const {
    return {room_.Hint,      room_.Description, room_.Note,
            room_.QuickList, room_.Exits(),     CheckedExitLetters(room_)};
}

void RoomPropertyEditor::Fill() {
    const profile::WorldProfile& profile = store_.Model().World().Profile();
    preview_.Hint = room_.Hint;
    preview_.Description = room_.Description;
    preview_.Note = room_.Note;
    EditChExitsChange(CheckedExitLetters(room_));
    preview_.Pipe = room_.Pipe;
    preview_.ImageIndex = room_.ImageIndex;
    entry_ = room_.ImageIndex;
    Sync();
    // A set flag selects its picture, whatever picture the room had stored.
    for (int box = 1; box <= kFlagBoxes; ++box)
        if (*FlagOf(room_, box)) cbPropClick(box, true);
    preview_.BColor = room_.BColor;
    preview_.SetExits(room_.Exits(), profile);
    preview_.AutoMaps = room_.AutoMaps;
    preview_.Selected = false;
    Repaint();
}

void RoomPropertyEditor::EditExitsChange(std::string text) {
    preview_.SetExits(std::move(text), store_.Model().World().Profile());
    Repaint();
}

void RoomPropertyEditor::EditChExitsChange(std::string_view text) {
    for (Dir d : kLetterOrder)
        preview_.Ch(d) = HasCheckedExitLetter(text, d);
    Repaint();
}

void RoomPropertyEditor::Sync() {
    if (!onFlagsChanged) return;
    const bool was = guard_;
    guard_ = true;
    onFlagsChanged();
    guard_ = was;
}

void RoomPropertyEditor::cbPropClick(int box, bool checked) {
    if (guard_ || box < 1 || box > kFlagBoxes) return;
    guard_ = true;
    boxes_[static_cast<std::size_t>(box - 1)] = checked;
    entry_ = 0;
    if (checked) {
        boxes_.fill(false);
        boxes_[static_cast<std::size_t>(box - 1)] = true;
        entry_ = box;
    }
    for (int k = 1; k <= kFlagBoxes; ++k)
        *FlagOf(preview_, k) = boxes_[static_cast<std::size_t>(k - 1)];
    preview_.ImageIndex = entry_;
    Sync();
    guard_ = false;
    Repaint();
}

void RoomPropertyEditor::ComboBox1Change(int entry) {
    if (guard_) return;
    preview_.ImageIndex = entry;
    entry_ = entry;
    if (entry >= 1 && entry <= kFlagBoxes) {
        cbPropClick(entry, true);
        return;
    }
    boxes_.fill(false);
    for (int k = 1; k <= kFlagBoxes; ++k)
        *FlagOf(preview_, k) = false;
    Sync();
    Repaint();
}

void RoomPropertyEditor::ApplyQuickList(const std::string& alias) {
    map::MapWorld& world = store_.Model().World();
    ZoneTree& tree = store_.Tree();
    // The room's own zone: the game may have taken the player into another zone meanwhile.
    ZoneTreeNode* zone = tree.FindZone(world.ZoneOf(&room_));
    const bool had = !room_.QuickList.empty();
    if (had && alias.empty()) {
        tree.RemoveQuickListNodes(&room_, zone);
    } else if (!had && !alias.empty() && zone) {
        room_.QuickList = alias;
        tree.AddQuickListNode(zone, &room_);
    }
    room_.QuickList = alias;
    if (alias.empty() || !zone) return;
    std::vector<ZoneTreeNode*> nodes;
    for (const auto& child : zone->children)
        if (child->room == &room_) nodes.push_back(child.get());
    for (ZoneTreeNode* node : nodes) {
        node->image = QuickListImage(room_);
        tree.SetText(node, alias);
    }
}

void RoomPropertyEditor::Apply(const std::string& alias, std::string_view checkedExits) {
    map::MapModel& model = store_.Model();
    map::MapWorld& world = model.World();
    world.Saved = false;

    room_.Pipe = preview_.Pipe;
    room_.DT = preview_.DT;
    room_.FlyDT = preview_.FlyDT;
    room_.Agro = preview_.Agro;
    room_.NoStep = preview_.NoStep;
    room_.BColor = preview_.BColor;
    room_.SetExits(preview_.Exits(), world.Profile());
    room_.Hint = preview_.Hint;
    room_.ImageIndex = preview_.ImageIndex;
    ApplyQuickList(alias);

    std::string description = preview_.Description;
    while (description.size() >= 2 && description.ends_with("\r\n"))
        description.resize(description.size() - 2);
    room_.Description = std::move(description);
    room_.Note = preview_.Note;

    // Links are looked up on the current zone's grid; a room that is no longer on it (the
    // player walked into another zone meanwhile) only loses its flags.
    const bool onGrid = world.ZoneOf(&room_) == world.CurrentZone;
    for (Dir d : kUnlinkOrder)
        if (room_.Ch(d) && !HasCheckedExitLetter(checkedExits, d) && onGrid)
            model.Linker().DeleteLink(&room_, d);
    for (Dir d : kLetterOrder)
        room_.Ch(d) = HasCheckedExitLetter(checkedExits, d);

    world.RoomChanged(&room_);
    world.Ui().Repaint();
}

} // namespace storage
