#pragma once
// The link lines of the room property dialog's second tab: adding, changing and deleting a
// line of the context room (`NAddClick`, `NEditClick`, `NDelClick`), with the link dialog
// `TAutomapForm` behind an interface. The tab's list shows the lines of the dialog's copy of the
// room, item i being line i. Changes apply at once to the copy and to the context room, and
// may add or remove the opposite line in the linked room after asking.

#include "map/MudRoom.h"
#include "world/WorldStore.h"

#include <optional>
#include <string>
#include <string_view>

namespace profile {
struct WorldProfile;
}

namespace storage {

// The fields of `TAutomapForm`.
struct AutomapValues {
    std::string zone;     // ComboBoxMap
    std::string exit;     // ComboBoxExit
    std::string room;     // EditX, as typed
    std::string command;  // EditSendTrigger
    bool sendMove = true; // CheckBoxSendMove
    bool operator==(const AutomapValues&) const = default;
};

// Which controls of `TAutomapForm` are enabled for the exit, zone and command typed so far.
struct AutomapFormState {
    bool commandEnabled = false;  // lblSendTrigger and EditSendTrigger
    bool sendMoveEnabled = false; // CheckBoxSendMove
    bool checkSendMove = false;   // the box is to be checked again (no command)
    bool okEnabled = false;       // btnOk
    bool operator==(const AutomapFormState&) const = default;
};

// The enabling rules, applied whenever the exit, the zone or the command changes: a command
// goes only with one of the six direction phrases; the send-move box matters only with a
// command and is checked again when there is none; OK needs an exit and a zone, or a command.
AutomapFormState AutomapFormRules(const profile::WorldProfile& profile, std::string_view exit,
                                  std::string_view zone, std::string_view command);

// What the property dialog does for the editor.
class LinkTabUi {
public:
    virtual ~LinkTabUi() = default;
    // Opens `TAutomapForm` modally on the values; the values confirmed with OK, nullopt on
    // Cancel.
    virtual std::optional<AutomapValues> OpenAutomapForm(const AutomapValues& initial) = 0;
    // Shows the copy's link flags again in the checked-exits field of the first tab.
    virtual void RefreshCheckedExits() = 0;
};

class LinkLineEditor {
public:
    // `room` is the context room the dialog was opened for, `copy` the dialog's copy of it.
    LinkLineEditor(WorldStore& store, map::TMudRoom2& room, map::TMudRoom2& copy, LinkTabUi& ui)
        : store_(store), room_(room), copy_(copy), ui_(ui) {}

    // Asks for a new line and appends it. True when a line was added.
    bool NAddClick();
    // Changes line `index`. True when it was changed.
    bool NEditClick(int index);
    // Deletes line `index` after asking. True when it was deleted.
    bool NDelClick(int index);

private:
    std::string Text(std::string_view key) const;
    // The not-found check: false, after the message, when the values name a room number of 1
    // or more that the zone does not have.
    bool TargetExists(const AutomapValues& v) const;
    // Offers the linked room the line back to the context room. True when that room is the
    // context room itself, whose copy then changed too.
    bool OfferOppositeLine(const AutomapValues& v);
    // Offers to delete the linked room's line back to the context room.
    void OfferToDeleteOppositeLine(const std::string& zone, const std::string& exit,
                                   const std::string& room);
    // Sets the flag named by a direction phrase on both rooms.
    void SetFlag(std::string_view exit);
    // Clears the flag named by a direction phrase on both rooms unless they still need it.
    void ClearFlag(std::string_view exit);
    // Clears a room's flag for a direction phrase unless another line of the room goes that
    // way or the room is linked on the grid that way.
    void ClearFlagOf(map::TMudRoom2& room, std::string_view exit, const std::string& zone);

    WorldStore& store_;
    map::TMudRoom2& room_;
    map::TMudRoom2& copy_;
    LinkTabUi& ui_;
};

} // namespace storage
