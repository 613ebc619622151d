#pragma once
// What the room property dialog does to a room, without its widgets: a preview copy that
// follows every field as it is typed, the flag boxes and the picture list kept in step with
// each other, and on OK the edited values copied back into the room, with the quick list, the
// zone tree and the links of unchecked exits following.

#include "map/MudRoom.h"
#include "world/WorldStore.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace storage {

// The checked-exit letters: "N", "S", "E", "W", "U", "D", capital Latin letters found anywhere
// in the text; order and other characters do not matter.
char CheckedExitLetter(map::Dir d);
bool HasCheckedExitLetter(std::string_view letters, map::Dir d);
// The letters of the room's set link flags in the order N, S, E, W, U, D ("NSU").
std::string CheckedExitLetters(const map::TMudRoom2& room);

// The texts the dialog's fields start with.
struct RoomPropertyTexts {
    std::string name, description, note, alias, exits, checkedExits;
};

class RoomPropertyEditor {
public:
    // Flag box k (1 DT, 2 FlyDT, 3 Agro, 4 NoStep) belongs to picture k.
    static constexpr int kFlagBoxes = 4;

    // Opening the dialog clears the room's highlight; the preview starts as a silver room at
    // the origin with the position mark.
    RoomPropertyEditor(WorldStore& store, map::TMudRoom2& room);

    map::TMudRoom2& Room() { return room_; }
    map::TMudRoom2& Preview() { return preview_; }
    const map::TMudRoom2& Preview() const { return preview_; }

    // What the fields show for the room.
    RoomPropertyTexts Texts() const;
    // The preview takes over what the fields do not carry: the picture (with the flag boxes,
    // so that a set flag selects its picture), the colour, the corridor mark, the exits and
    // the link lines; the position mark goes.
    void Fill();

    // ---- Live preview (each field as it changes) ----
    void EditNameChange(std::string text) { preview_.Hint = std::move(text); }
    void RoomDescrChange(std::string text) { preview_.Description = std::move(text); }
    void RoomNoteChange(std::string text) { preview_.Note = std::move(text); }
    void EditExitsChange(std::string text);
    void EditChExitsChange(std::string_view text);
    void SetColor(map::Color c) { preview_.BColor = c; }

    // ---- The flag boxes and the picture list ----
    // A flag box was clicked into the state `checked`: checking it clears the other boxes and
    // selects its picture; unchecking it selects no picture. Ignored while the boxes and the
    // list are being brought into line (the re-entry guard).
    void cbPropClick(int box, bool checked);
    // A picture was chosen: pictures 1 to 4 check their box alone, any other clears them all.
    void ComboBox1Change(int entry);
    bool FlagBox(int box) const { return boxes_[static_cast<std::size_t>(box - 1)]; }
    // The selected entry of the picture list (-1: none).
    int PictureEntry() const { return entry_; }
    // Set while the editor changes the boxes and the list itself.
    bool Guarded() const { return guard_; }

    // The widgets follow the boxes and the selected entry (called with the guard set).
    std::function<void()> onFlagsChanged;
    // The preview changed and is to be painted again.
    std::function<void()> onRepaint;

    // OK: the edited values go into the room, the quick list and the zone tree follow the
    // alias, and links through exits whose letter was taken away are removed.
    void Apply(const std::string& alias, std::string_view checkedExits);

private:
    void Sync();
    void Repaint() {
        if (onRepaint) onRepaint();
    }
    void ApplyQuickList(const std::string& alias);

    WorldStore& store_;
    map::TMudRoom2& room_;
    map::TMudRoom2 preview_;
    std::array<bool, kFlagBoxes> boxes_{};
    int entry_ = -1;
    bool guard_ = false;
};

} // namespace storage
