#pragma once
// The state that the tracking pass and positioning share.

#include "tracking/RoomIdentity.h"
#include "tracking/RoomParser.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>

namespace tracking {

// The value of CurrentCmd that marks a pass that consumed its command.
inline constexpr char kTranslationDone[] = ".TranslationDone.";

struct TrackingState {
    std::string PendingText;              // server text not yet consumed
    std::deque<std::string> CommandQueue; // the client's commands, oldest first
    std::string CurrentCmd;               // the command of the current pass
    SeenRoom Seen;                        // what recognition saw last
    bool Loop = false;                    // another pass over PendingText is wanted
    // Counts every change of the queue's first entry other than a command appended to an empty
    // queue, so that the end of an answer can tell whether the command it answers is still
    // waiting.
    std::uint64_t FrontChanges = 0;
    // What the game said out of band about the room of the answer under way; taken by the
    // first room that positioning places in that answer.
    std::optional<RoomIdentity> Identity;

    void Clear() {
        PendingText.clear();
        CommandQueue.clear();
        CurrentCmd.clear();
        Identity.reset();
        ++FrontChanges;
    }
    void PopFront() {
        CommandQueue.pop_front();
        ++FrontChanges;
    }
    void PushFront(std::string command) {
        CommandQueue.push_front(std::move(command));
        ++FrontChanges;
    }
    void Done() { CurrentCmd = kTranslationDone; }
};

} // namespace tracking
