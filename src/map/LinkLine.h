#pragma once
// One line of a room's AutoMaps: zone|exit|room|command|send-move. With a zone it is a
// cross-zone link; without one, an automatic command sent before a move in its direction.

#include <string>
#include <string_view>

namespace map {

struct LinkLine {
    std::string zone;     // zone the link leads into; empty for an automatic command
    std::string exit;     // a direction phrase, another exit text, or "=" + a waiting trigger
    std::string room;     // Tag of the room reached, in decimal; "0" when none
    std::string command;  // sent before the move; may be empty
    std::string sendMove; // "-1": the movement word is sent too, "0": only the command

    static LinkLine Parse(std::string_view line);
    // zone|exit|room|command|send-move
    std::string Join() const;

    bool IsLink() const { return !zone.empty(); }
    bool IsTrigger() const { return !exit.empty() && exit[0] == '='; }
    // The room number; 0 for an empty field or one that is not a number.
    int RoomNumber() const;
    // A number other than 0 or "True" in any letter case sends the move; 0 or "False" does
    // not; an empty field counts as the zone loader completes it (sent when there is no
    // command). Anything else does not send it.
    bool SendsMove() const;
};

// Parses the send-move field as above; `command` decides the empty case.
bool ReadSendMove(std::string_view field, std::string_view command);

} // namespace map
