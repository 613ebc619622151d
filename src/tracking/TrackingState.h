#pragma once
// The state that the tracking pass and positioning share.

#include "tracking/RoomParser.h"

#include <deque>
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

    void Clear() {
        PendingText.clear();
        CommandQueue.clear();
        CurrentCmd.clear();
    }
    void Done() { CurrentCmd = kTranslationDone; }
};

} // namespace tracking
