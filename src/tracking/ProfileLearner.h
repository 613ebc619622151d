#pragma once
// Learning a world's profile from a session in which the player looked and walked a few rooms:
// the markers around room names and exit lines, the exit words as printed, the prompt's exit
// markers, the darkness and refusal texts seen, and the movement words the player used. What it
// cannot tell it says, instead of guessing. A profile is only called learnt when recognition
// itself, run with it over the session, finds the rooms the player saw.

#include "profile/WorldProfile.h"

#include <string>
#include <string_view>
#include <vector>

namespace tracking {

// One piece of a session in the order it passed the relay: the game's stream as decoded (MCCP
// inflated, telnet commands and doubled 0xFF as the game sent them), or a block the player's
// client sent.
struct SessionPiece {
    bool fromPlayer = false;
    std::string_view bytes;
};

// Something learning could not tell, or a value it reached other than by seeing it.
struct LearnRemark {
    enum Kind {
        // What is missing:
        NoAnswers,         // no look or move of the player got an answer
        NoExitLine,        // no line lists the rooms' exits
        ExitsOnlyInPrompt, // the exits stand in the prompt alone
        NoRoomNames,       // the names have no colour or mark of their own
        ExitWordUnseen,    // `dir`: no exit that way was printed; the word stays `word`
        MoveWordUnseen,    // `dir`: the player never went that way; the word stays `word`
        // Notes:
        ExitWordOfKind,    // `dir`: never printed; `word` completes the kind of the words seen
        MoveWordOfKind,    // `dir`: never typed; `word` completes the kind of the words used
        LongExitLists,     // some exit lists pass the 60 characters recognition reads
        ExitWordsAmbiguous // an exit word stands inside another word of some exit lists
    };
    Kind kind;
    int dir = -1; // a profile word index (north 0, south 1, east 2, west 3, up 4, down 5)
    std::string word;
    bool Missing() const { return kind <= MoveWordUnseen; }
};

// A room that recognition finds in the session with a profile.
struct RecognisedRoom {
    std::string name, exits;
};

struct LearntProfile {
    // The profile learning started from, with what it learnt put in.
    profile::WorldProfile profile;
    // The keys it learnt, in the order of the profile file.
    std::vector<profile::ProfileKey> keys;
    std::vector<LearnRemark> remarks;
    // The rooms recognition finds in the session with the learnt profile, in order.
    std::vector<RecognisedRoom> rooms;

    // The profile recognises rooms: the room names and the exit lines were learnt.
    bool Learnt() const { return learntRooms; }
    bool learntRooms = false;
};

// Learns from `session`, starting from `base` (its NoDoubleYa says how to read the game's 0xFF
// bytes; every key not learnt keeps its value).
LearntProfile LearnProfile(const std::vector<SessionPiece>& session,
                           const profile::WorldProfile& base = profile::WorldProfile());

// Puts the learnt values into `profile`; every other key keeps its value, and learnt refusal
// and darkness texts join those already listed.
void ApplyLearnt(const LearntProfile& learnt, profile::WorldProfile& profile);

// The rooms recognition finds in a session with `profile`, as tracking would read them when
// nothing but the rooms is asked of it.
std::vector<RecognisedRoom> RecogniseRooms(const std::vector<SessionPiece>& session,
                                           const profile::WorldProfile& profile);

// A remark in plain English (the command line's words).
std::string RemarkText(const LearnRemark& remark);

} // namespace tracking
