#include "tracking/ProfileLearner.h"

#include "text/Text.h"
#include "tracking/LearnerMarkers.h"
#include "tracking/LearnerSteps.h"
#include "tracking/RoomParser.h"

#include <algorithm>

namespace tracking {

using namespace learn;

namespace {
constexpr std::size_t kSample = 48;
constexpr std::size_t kIdleLimit = 4096;         // as tracking trims idle text
constexpr std::size_t kPendingLimit = 64 * 1024; // and text waiting for a room
constexpr std::size_t kPiece = 2048;             // recognition is fed the game's text in pieces

std::vector<RecognisedRoom> Recognise(const SessionText& s, const profile::WorldProfile& p) {
    const std::string& g = s.Game();
    const auto& commands = s.Commands();
    std::vector<RecognisedRoom> rooms;
    std::string pending;
    SeenRoom seen;
    std::size_t next = 0;
    for (std::size_t at = 0; at < g.size();) {
        while (next < commands.size() && commands[next].begin <= at)
            ++next;
        std::size_t to = std::min(g.size(), at + kPiece);
        if (next < commands.size()) to = std::min(to, commands[next].begin);
        pending.append(g, at, to - at);
        at = to;
        while (ParseRoom(pending, p, seen))
            rooms.push_back({text::Trim(seen.Name), seen.Exits});
        if (pending.size() > kIdleLimit &&
            pending.find(p.AutoexitStartDecoded) == std::string::npos)
            pending.erase(0, pending.size() - kIdleLimit);
        if (pending.size() > kPendingLimit) pending.erase(0, pending.size() - kPendingLimit);
    }
    return rooms;
}
} // namespace

LearntProfile LearnProfile(const std::vector<SessionPiece>& session,
                           const profile::WorldProfile& base) {
    LearntProfile out;
    out.profile = base;
    profile::WorldProfile& p = out.profile;
    const SessionText s(session, base.NoDoubleYa);
    Steps steps{s, out};

    std::vector<std::size_t> answered; // looks and moves the game answered
    for (std::size_t i = 0; i < s.Commands().size(); ++i) {
        const Command& c = s.Commands()[i];
        if ((c.dir || c.look) && c.Answered()) answered.push_back(i);
    }
    if (answered.empty()) {
        steps.Remark(LearnRemark::NoAnswers);
        return out;
    }
    const std::vector<std::size_t> sample = Spread(answered, kSample);

    const std::optional<ExitLine> exitLine = FindExitLine(s, sample);
    const std::optional<PromptExits> prompt = FindPromptExits(s, sample);
    if (exitLine) {
        steps.Marker("AutoexitStart", p.AutoexitStart, exitLine->start);
        steps.Marker("AutoexitEnd", p.AutoexitEnd, exitLine->end);
        if (exitLine->longLists) steps.Remark(LearnRemark::LongExitLists);
    }
    if (prompt) {
        steps.Marker("PromptExitStart", p.PromptExitStart, prompt->start);
        steps.Marker("PromptExitEnd", p.PromptExitEnd, prompt->end);
    }
    if (exitLine || prompt) {
        // Exits from the exit line wherever there is one.
        p.UsePromptExit = !exitLine;
        steps.Key("Messages", "UsePromptExit");
    }
    if (!exitLine) steps.Remark(prompt ? LearnRemark::ExitsOnlyInPrompt : LearnRemark::NoExitLine);
    p.DecodeMarkers();

    // The answers that hold an exit line hold a room.
    std::vector<std::size_t> rooms, others;
    for (std::size_t i : answered) {
        const Command& c = s.Commands()[i];
        (exitLine && s.Find(exitLine->start, c) != std::string::npos ? rooms : others).push_back(i);
    }
    steps.Darkness(rooms, others);

    std::optional<NameMarkers> names;
    if (exitLine) {
        std::vector<std::string> starts{exitLine->start};
        if (!exitLine->plainStart.empty()) starts.push_back(exitLine->plainStart);
        names = FindNameMarkers(s, rooms, p, starts);
    }
    if (names) {
        steps.Marker("RoomNameStart", p.RoomNameStart, names->start);
        steps.Marker("RoomNameEnd", p.RoomNameEnd, names->end);
        steps.Marker("AutoexitStart", p.AutoexitStart, names->exitStart);
        p.DecodeMarkers();
    } else {
        steps.Remark(LearnRemark::NoRoomNames);
    }

    if (exitLine) {
        steps.ExitWords(rooms);
        if (!exitLine->looseStart.empty() && steps.ReadsTheSame(rooms, exitLine->looseStart)) {
            steps.Marker("AutoexitStart", p.AutoexitStart, exitLine->looseStart);
            p.DecodeMarkers();
        }
    } else if (prompt)
        steps.PromptWords(*prompt);
    if (exitLine && names) steps.Refusals(others, names->start);
    steps.MoveWords(rooms);
    p.DecodeMarkers();

    out.rooms = Recognise(s, p);
    out.learntRooms = exitLine && names && !out.rooms.empty();
    return out;
}

std::vector<RecognisedRoom> RecogniseRooms(const std::vector<SessionPiece>& session,
                                           const profile::WorldProfile& profile) {
    return Recognise(SessionText(session, profile.NoDoubleYa), profile);
}

void ApplyLearnt(const LearntProfile& learnt, profile::WorldProfile& to) {
    const profile::WorldProfile& from = learnt.profile;
    auto join = [](const std::vector<std::string>& add, std::vector<std::string>& list) {
        for (const std::string& entry : add)
            if (std::find(list.begin(), list.end(), entry) == list.end()) list.push_back(entry);
    };
    for (const profile::ProfileKey& k : learnt.keys) {
        for (int i = 0; i < 6; ++i) {
            if (k == profile::ProfileKey{"Exits", profile::kWordKeys[i]})
                to.ExitWords[i] = from.ExitWords[i];
            if (k == profile::ProfileKey{"Moves", profile::kWordKeys[i]})
                to.MoveWords[i] = from.MoveWords[i];
        }
        const std::pair<std::string_view, std::string profile::WorldProfile::*> texts[] = {
            {"Dark", &profile::WorldProfile::Dark},
            {"RoomNameStart", &profile::WorldProfile::RoomNameStart},
            {"RoomNameEnd", &profile::WorldProfile::RoomNameEnd},
            {"AutoexitStart", &profile::WorldProfile::AutoexitStart},
            {"AutoexitEnd", &profile::WorldProfile::AutoexitEnd},
            {"PromptExitStart", &profile::WorldProfile::PromptExitStart},
            {"PromptExitEnd", &profile::WorldProfile::PromptExitEnd},
        };
        for (const auto& [key, member] : texts)
            if (k == profile::ProfileKey{"Messages", key}) to.*member = from.*member;
        if (k == profile::ProfileKey{"Messages", "UsePromptExit"})
            to.UsePromptExit = from.UsePromptExit;
        if (k == profile::ProfileKey{"Exits", "AutoexitsIgnoreCase"})
            to.AutoexitsIgnoreCase = from.AutoexitsIgnoreCase;
        if (k == profile::ProfileKey{"Moves", "Look"}) to.Look = from.Look;
        if (k == profile::ProfileKey{profile::kCantMoveSection, ""})
            join(from.CantMove, to.CantMove);
        if (k == profile::ProfileKey{"Dark", ""}) join(from.DarkList, to.DarkList);
    }
    to.DecodeMarkers();
}

std::string RemarkText(const LearnRemark& r) {
    static const char* const kDirs[6] = {"north", "south", "east", "west", "up", "down"};
    const std::string dir = r.dir >= 0 && r.dir < 6 ? kDirs[r.dir] : "";
    const std::string word = "\"" + r.word + "\"";
    switch (r.kind) {
    case LearnRemark::NoAnswers:
        return "the game answered no look and no move of the player: record a session in which "
               "you look and walk a few rooms";
    case LearnRemark::NoExitLine:
        return "no line lists the rooms' exits: recognition needs a line of exits after each "
               "room (turn the game's automatic exits on)";
    case LearnRemark::ExitsOnlyInPrompt:
        return "the exits stand in the prompt alone: recognition needs a line of exits after each "
               "room to tell where it ends (turn the game's automatic exits on); the prompt's "
               "exit markers were learnt";
    case LearnRemark::NoRoomNames:
        return "the room names have no colour or mark of their own (or no exit line shows where "
               "a room ends), so their markers cannot be told (turn the game's colours on)";
    case LearnRemark::ExitWordUnseen:
        return "no exit " + dir + " was printed: its exit word stays " + word;
    case LearnRemark::MoveWordUnseen:
        return "the player never went " + dir + ": its movement word stays " + word;
    case LearnRemark::ExitWordOfKind:
        return "no exit " + dir + " was printed: " + word + " completes the exit words seen";
    case LearnRemark::MoveWordOfKind:
        return "the player never went " + dir + ": " + word + " completes the movement words used";
    case LearnRemark::LongExitLists:
        return "some exit lists are longer than the 60 characters recognition reads: those rooms "
               "lose their exits";
    case LearnRemark::ExitWordsAmbiguous:
        return "the exit word " + word +
               " stands inside other words of some exit lines: it may "
               "be read as an exit where there is none";
    }
    return {};
}

} // namespace tracking
