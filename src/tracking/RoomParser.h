#pragma once
// Recognition of room blocks in the server's text: a name framed by the profile's markers, a
// description, an exit line (or the exits of the prompt), and darkness.

#include <string>
#include <string_view>

namespace profile {
struct WorldProfile;
}

namespace tracking {

using profile::WorldProfile;

// What recognition saw last.
struct SeenRoom {
    std::string Name;  // the profile's Dark message for a dark room
    std::string Desc;  // colour removed, line breaks normalised
    std::string Exits; // at most 60 characters; empty when none or dark without an exit line
    void Clear() {
        Name.clear();
        Desc.clear();
        Exits.clear();
    }
};

// Tries to recognise one room block at the front of `pending`. On success fills `seen` and
// cuts `pending` after the block; on failure `pending` is unchanged.
bool ParseRoom(std::string& pending, const WorldProfile& profile, SeenRoom& seen);

// The position of an exit word in a text, lowering Latin letters only when the profile says
// exit words ignore case; npos when absent or the word is empty.
size_t ExitPos(const WorldProfile& profile, std::string_view word, std::string_view text);

} // namespace tracking
