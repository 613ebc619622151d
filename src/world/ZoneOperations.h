#pragma once
// What the user does to zones from the zone tree and the client: creating, renaming, deleting,
// locking and opening zones, and the search for a room by its name, description or note.
// The operations act on the tree's selected node, as the tree's context menu does.

#include "world/WorldStore.h"

#include <optional>
#include <string>
#include <string_view>

namespace storage {

enum class SearchField { Name = 1, Description = 2, Note = 3 };

class ZoneOperations {
public:
    explicit ZoneOperations(WorldStore& store) : store_(store) {}

    // Creates a zone. From the menu the zone panel is shown and the new node's text is put
    // into editing, so that the user names the zone at once.
    ZoneTreeNode* nNewZoneClick(bool fromMenu);

    // The client's new-zone command: tracing off, a new zone, and, when the command carried
    // one, its name: the text between the command word and the line feed with doubled 0xFF
    // bytes already collapsed. Surrounding blanks and control characters (the blank after the
    // command word, the line's CR) are dropped here. No name, or one that cannot be used, keeps
    // the default name.
    ZoneTreeNode* NewZoneCommand(std::optional<std::string_view> name);

    // End of editing a node's text. A zone node renames the zone (its file, its rooms, the
    // cross-zone link lines that lead into it, the lock list); a quick-list node renames the
    // room's alias. False when the node keeps its old text (the root, or a rename that failed).
    bool TreeViewZonesEdited(ZoneTreeNode* node, std::string_view newText);
    // Renames a zone; false (changing nothing) when the file cannot be renamed, e.g. because
    // a zone of that name exists.
    bool RenameZone(std::string_view from, std::string_view to);

    // Deletes the selected zone with its file and rooms, after asking when `ask`.
    void nnDeleteZoneClick(bool ask = true);
    // Locks or unlocks the selected zone.
    void nnLockZoneClick();
    // Whether the lock item is checked for the selected node.
    bool LockChecked() const;
    // Makes the selected zone current (saving the current one first).
    void nnLoadZoneClick();
    // A double click: a zone node becomes current; a quick-list room that is no death trap is
    // returned as the speedwalk target (null otherwise).
    map::TMudRoom2* TreeViewZonesDblClick(ZoneTreeNode* node);

    // Opens a room search on a field; the next FindNext starts from the first room.
    void StartSearch(SearchField field);
    // Finds the next room of the world list whose field contains `text` (Latin letters in any
    // case, other letters exact); switches to its zone, shows it and checks it. Null, after
    // the "not found" message, when no further room matches.
    map::TMudRoom2* FindNext(std::string_view text);

private:
    void MakeCurrent(const std::string& zone);

    WorldStore& store_;
    SearchField field_ = SearchField::Name;
    std::size_t searchIndex_ = 0;
};

} // namespace storage
