#pragma once
// Finding the telnet commands in a read of the game's stream, which runs over every byte the game
// sends while MSDP or GMCP may be on. A room's subnegotiation comes with every room, so the
// search must not stop at each one to decide what to do: the commands of a stretch are found
// all at once, without a branch on the bytes, and then handed out one by one.

#include <array>
#include <cstddef>
#include <cstdint>

namespace relay {

// Could the text hold a negotiation or a subnegotiation: an IAC followed by SB, WILL, WONT, DO or
// DONT? Pairs of 0xFF (the letter "я") are not told apart from commands here, so the answer may
// be yes for plain text, never no for a command. Game text rarely has any, so this runs over
// every read before anything slower.
bool MayHoldNegotiation(const char* p, std::size_t n);

// The commands of a read in order: the index of every byte that follows a telnet IAC, the second
// 0xFF of a pair (a doubled 0xFF in the text) excepted. Found a window of the read at a time, so
// that a caller that goes step by step after a few of them wastes little.
class CommandScan {
public:
    static constexpr std::size_t kWindow = 1024;

    // The commands of p[from, n), no command being under way at `from`.
    void Start(const char* p, std::size_t from, std::size_t n);
    // The first command at or after `at`; n when there is none. `at` never goes back.
    std::size_t Next(std::size_t at) {
        for (;;) {
            for (; taken_ < count_; ++taken_)
                if (found_[taken_] >= at) return found_[taken_];
            if (covered_ >= n_) return n_;
            Fill();
        }
    }

private:
    void Fill();

    const char* p_ = nullptr;
    std::size_t n_ = 0;
    std::size_t covered_ = 0; // the commands before this are found
    bool carry_ = false;      // the byte before covered_ is an IAC whose command is not found yet
    // A window's commands; two more are written than found, a block's first two unconditionally.
    std::array<std::size_t, kWindow / 2 + 2> found_{};
    std::size_t count_ = 0;
    std::size_t taken_ = 0;
};

} // namespace relay
