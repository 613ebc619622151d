#pragma once
// The tracking pass: pairs the client's commands with the rooms the server prints, one command
// per room, and keeps the player's position on the map in step with the game.

#include "tracking/Positioner.h"
#include "tracking/RoomIdentity.h"
#include "tracking/TrackerHost.h"
#include "tracking/TrackingState.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace map {
class MapModel;
}

namespace profile {
struct WorldProfile;
}

namespace tracking {

using profile::WorldProfile;

class Tracker {
public:
    // While a command waits for its room, unconsumed text is kept up to this size.
    static constexpr size_t kPendingLimit = 64 * 1024;
    // With nothing outstanding, idle chatter is trimmed to this size.
    static constexpr size_t kIdleLimit = 4096;

    Tracker(map::MapModel& map, const WorldProfile& profile, TrackerHost& host);

    // Called once for every read of the server stream with the decoded text. `prompts` are the
    // offsets in `text` just after each prompt command of the game (IAC GA or EOR), and
    // `promptsMarked` says whether the game sends such commands at all; without them the
    // profile's prompt markers are looked for. A prompt ends the answer to the oldest command:
    // a move whose answer ends without its room is a refused move.
    // `identities` are what the game said out of band about the player's room in this read,
    // in order, placed by their offsets in `text`.
    void TranslateCmd(const std::string& text, const std::vector<size_t>& prompts = {},
                      bool promptsMarked = false, const std::vector<IdentityAt>& identities = {});
    // A read while tracing is off, as the bytes go to the client (0xFF still doubled). The pass
    // then only takes object-base lines and reports and empties the rest, so the text is made
    // and the pass run only when the read can hold one of those.
    void TranslateIdle(std::string_view clientBytes);

    // Tracing switched off: the queue, the pending text and the current command are emptied,
    // and a choice between rooms that look alike that is still open is forgotten.
    void Reset();
    // A choice between rooms that look alike that is still open is made now, with what the
    // game has shown so far (before the map is saved, searched or edited by hand).
    void Settle();
    const MoveHypotheses& Hypotheses() const { return positioner_.Hypotheses(); }

    TrackingState& State() { return state_; }
    const TrackingState& State() const { return state_; }

private:
    // The incoming text of one answer, or of a read without prompts.
    // `run` false: the text is only kept for the passes that the end of its answer runs.
    void Translate(std::string_view text, bool run = true);
    // What the game said about the room of the answer under way.
    void TakeIdentity(const RoomIdentity& identity);
    // At the end of an answer: a move or look whose room the game named but whose text the
    // profile did not recognise is positioned by the name alone.
    void IdentityWithoutRoom();
    // The ends of prompts that the profile's markers frame, as offsets into `incoming`.
    const std::vector<size_t>& MarkedPrompts(std::string_view incoming);
    // Text arrives for the first queued command: its answer begins (if it has not).
    void OpenAnswer();
    // The game's prompt: the answer to the command it was opened for has ended.
    void AnswerEnded();
    // A command whose answer is a room: a move (sneaking and fleeing too), a look, the portal,
    // the text that takes one of the player's room's links.
    bool AwaitsRoom(std::string_view command) const;
    void Pass();
    void TakeObjectBaseLines();
    void CheckRetreat();
    void CheckFollow();
    void CheckWaitingTriggers(size_t exitLine);
    // Tracing is off: everything but an unfinished object-base line is dropped.
    void DropIdleText();
    bool LogOn() const { return host_.LogActive(); }

    // What a read must hold for the idle pass to be worth running, made once per profile.
    struct IdleNeedles {
        std::string stuffTem, mobTem; // the templates they were made from
        bool noDoubleYa = false;
        bool always = false; // a template without a head
        std::vector<std::string> heads;
    };
    const IdleNeedles& Needles();

    map::MapModel& map_;
    const WorldProfile& profile_;
    std::unique_ptr<IdleNeedles> needles_;
    TrackerHost& host_;
    TrackingState state_;
    Positioner positioner_;
    bool trimLogged_ = false;
    // The game has named rooms out of band: from now on answers are positioned whole.
    bool identityMode_ = false;
    // The answer that text is arriving for, and the queue's FrontChanges when it began.
    bool answerOpen_ = false;
    std::uint64_t answerOwner_ = 0;
    // The unfinished last line of the previous read, where a marked prompt may begin.
    static constexpr size_t kPromptCarryLimit = 1024;
    std::string promptCarry_;
    std::vector<size_t> markedEnds_;
};

} // namespace tracking
