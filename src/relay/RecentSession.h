#pragma once
// The last stretch of what passed the relay, kept in memory whether or not the session is
// recorded, so that a profile can be learnt from what the player has just seen.

#include "files/SessionFile.h"

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace relay {

class RecentSession {
public:
    // A few hundred lines of a game, colour and all. Every read of the game is copied up to
    // this much, so it stays small: a game that floods the relay pays for one copy of it a read.
    static constexpr std::size_t kKeep = 32 * 1024;

    // A block of the game's stream ('S') or of the client's ('C'); the oldest give way.
    void Add(char kind, std::string_view bytes);
    // What is kept, oldest first; the oldest record may begin in the middle of a line.
    std::vector<storage::SessionRecord> Records() const;
    std::size_t Bytes() const { return bytes_; }

private:
    struct Kept {
        char kind = 0;
        std::string bytes;
        std::size_t skip = 0; // bytes at its start already let go
    };
    std::deque<Kept> records_;
    std::size_t bytes_ = 0;
    std::string spare_; // the buffer of a record let go, for the next one
};

} // namespace relay
