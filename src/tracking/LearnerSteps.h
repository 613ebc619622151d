#pragma once
// The steps of learning a profile that read words and messages rather than markers: the exit
// and movement words, the look command, darkness and refused moves. Each puts what it learnt
// into the profile and names the keys.

#include "tracking/LearnerMarkers.h"
#include "tracking/LearnerWords.h"
#include "tracking/ProfileLearner.h"

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tracking::learn {

struct Steps {
    const SessionText& s;
    LearntProfile& out;

    void Key(std::string_view section, std::string_view key);
    void Remark(LearnRemark::Kind kind, int dir = -1, std::string word = {});
    // A marker of [Messages], written as escapes.
    void Marker(std::string_view key, std::string& field, const std::string& raw);

    // `rooms`: answers with an exit line; `others`: the other looks and moves answered.
    void Darkness(const std::vector<std::size_t>& rooms, const std::vector<std::size_t>& others);
    void ExitWords(const std::vector<std::size_t>& rooms);
    void PromptWords(const PromptExits& prompt);
    // Whether recognition, starting the exit lists at `start` instead, still finds every exit
    // line where it is and reads the same exits from it.
    bool ReadsTheSame(const std::vector<std::size_t>& rooms, const std::string& start) const;
    // Moves answered without a room, darkness or a name: the game refused them.
    void Refusals(const std::vector<std::size_t>& others, const std::string& nameStart);
    // The player's words for the moves typed, and the look whose answer was a room.
    void MoveWords(const std::vector<std::size_t>& rooms);

private:
    // The exit list that recognition reads after `start` in an answer, and the exits of its
    // words; false when it finds no list there.
    bool ListAfter(const Command& c, const std::string& start, std::string& list,
                   std::set<int>& dirs, std::vector<std::string>* spellings = nullptr) const;
    // The words seen (empty: unseen) into `words`, completed from their family.
    void Words(const SixWords& seen, const std::vector<WordFamily>& families,
               std::array<std::string, 6>& words, std::string_view section,
               LearnRemark::Kind ofKind, LearnRemark::Kind unseen);
};

} // namespace tracking::learn
