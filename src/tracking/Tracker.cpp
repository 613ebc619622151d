#include "tracking/Tracker.h"

#include "map/MapModel.h"
#include "profile/WorldProfile.h"
#include "text/ByteSearch.h"
#include "text/Cp1251.h"
#include "text/Text.h"
#include "tracking/ReportTemplate.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace tracking {

using text::W;

namespace {
constexpr size_t npos = std::string::npos;
// A pass either consumes something or ends the loop; this only guards against a profile
// whose words make a pass consume nothing while asking for another.
constexpr int kMaxPasses = 100000;
} // namespace

Tracker::Tracker(map::MapModel& map, const WorldProfile& profile, TrackerHost& host)
    : map_(map), profile_(profile), host_(host), positioner_(state_, map, profile, host) {}

void Tracker::Reset() {
    state_.Clear();
    positioner_.Reset();
    answerOpen_ = false;
    promptCarry_.clear();
}

void Tracker::Settle() {
    if (positioner_.Hypotheses().Open() && host_.Tracing() && !positioner_.Busy())
        positioner_.Settle();
}

void Tracker::TranslateCmd(const std::string& incoming, const std::vector<size_t>& prompts,
                           bool promptsMarked, const std::vector<IdentityAt>& identities) {
    // Without prompt commands from the game, the profile's prompt markers tell the ends.
    const std::vector<size_t>& ends = promptsMarked ? prompts : MarkedPrompts(incoming);
    if (!identities.empty()) identityMode_ = true;
    // A game that names its rooms may do so after the room's text: where answers have a
    // known end, an answer is read whole before it is positioned.
    const bool answersEnd = promptsMarked || (!profile_.PromptExitStartDecoded.empty() &&
                                              !profile_.PromptExitEndDecoded.empty());
    const bool whole = identityMode_ && answersEnd && host_.Tracing();
    const std::string_view all(incoming);
    size_t from = 0;
    size_t next = 0; // the next identity
    auto upTo = [&](size_t to) {
        for (; next < identities.size() && identities[next].offset <= to; ++next) {
            const size_t at = std::max(from, std::min(identities[next].offset, all.size()));
            if (at > from) {
                OpenAnswer();
                Translate(all.substr(from, at - from), !whole);
                from = at;
            }
            TakeIdentity(identities[next].identity);
        }
        if (to > from) {
            OpenAnswer();
            Translate(all.substr(from, to - from), !whole);
            from = to;
        }
    };
    for (size_t end : ends) {
        if (end <= from || end > incoming.size()) continue;
        upTo(end);
        OpenAnswer();
        if (whole) Translate({}, true);
        IdentityWithoutRoom();
        AnswerEnded();
        state_.Identity.reset();
    }
    upTo(incoming.size());
    OpenAnswer();
    // An empty read still runs the passes, as a read of text does.
    if (!whole && incoming.empty() && ends.empty()) Translate({}, true);
    if (host_.Tracing() && state_.CommandQueue.empty() && host_.SpeedwalkPending())
        host_.SendSpeedwalkBurst();
}

const std::vector<size_t>& Tracker::MarkedPrompts(std::string_view incoming) {
    markedEnds_.clear();
    const std::string& start = profile_.PromptExitStartDecoded;
    const std::string& end = profile_.PromptExitEndDecoded;
    if (start.empty() || end.empty()) return markedEnds_;
    // A prompt may be split between two reads: the unfinished line of the last read is kept.
    const size_t carried = promptCarry_.size();
    promptCarry_.append(incoming);
    const std::string& text = promptCarry_;
    size_t keepFrom = 0;
    for (size_t at = text.find(start); at != npos; at = text.find(start, at + 1)) {
        const size_t close = text.find(end, at + start.size());
        if (close == npos) break;
        const size_t lineEnd = text.find('\n', at);
        if (lineEnd != npos && lineEnd < close) continue; // not on the prompt's line
        const size_t after = close + end.size();
        if (after > carried) markedEnds_.push_back(after - carried);
        keepFrom = after;
        at = close;
    }
    const size_t lastLine = text.rfind('\n');
    if (lastLine != npos && lastLine + 1 > keepFrom) keepFrom = lastLine + 1;
    promptCarry_.erase(0, keepFrom);
    if (promptCarry_.size() > kPromptCarryLimit)
        promptCarry_.erase(0, promptCarry_.size() - kPromptCarryLimit);
    return markedEnds_;
}

void Tracker::OpenAnswer() {
    if (answerOpen_ || state_.CommandQueue.empty()) return;
    answerOpen_ = true;
    answerOwner_ = state_.FrontChanges;
}

bool Tracker::AwaitsRoom(std::string_view command) const {
    const std::string_view cmd = MoveOfCommand(profile_, command);
    if (map_.Words().FromMoveWord(cmd) || cmd == profile_.Look || cmd == profile_.Portal)
        return true;
    // The text that takes a link of the player's room.
    if (const map::TMudRoom2* room = map_.World().CurrentRoom)
        for (const auto& line : room->AutoMaps)
            if (!text::GetField(line, 1).empty() &&
                text::DecodeEscapes(text::GetField(line, 2)) == cmd)
                return true;
    return false;
}

void Tracker::AnswerEnded() {
    if (!answerOpen_) return;
    answerOpen_ = false;
    auto& queue = state_.CommandQueue;
    // The command that this answer belongs to was taken meanwhile (by its room, a refusal
    // text, or a command put before it): nothing to decide.
    if (state_.FrontChanges != answerOwner_ || queue.empty() || !host_.Tracing()) return;
    if (!AwaitsRoom(queue.front())) return;
    // A dark room that the profile's list does not know is still a room the player entered.
    if (!profile_.Dark.empty() && state_.PendingText.find(profile_.Dark) != npos) return;
    host_.DLine(W("TranslateCMD: Отбой по промпту - ") + queue.front());
    state_.PopFront();
    state_.PendingText.clear();
    state_.CurrentCmd.clear();
    host_.ClearSpeedwalk();
}

void Tracker::TakeIdentity(const RoomIdentity& identity) {
    if (LogOn())
        host_.DLine(W("TranslateCMD: номер комнаты от игры: ") + identity.id + " " + identity.name +
                    (identity.area.empty() ? std::string() : " [" + identity.area + "]"));
    state_.Identity = identity;
}

void Tracker::IdentityWithoutRoom() {
    // The game named the room of a move or look but printed nothing the profile recognises:
    // its word is taken, the text left alone.
    if (!state_.Identity || !answerOpen_ || !host_.Tracing() || state_.FrontChanges != answerOwner_)
        return;
    auto& queue = state_.CommandQueue;
    if (queue.empty() || !AwaitsRoom(queue.front())) return;
    state_.CurrentCmd = queue.front();
    if (positioner_.PositionByIdentityOnly()) {
        if (state_.CurrentCmd == kTranslationDone && !queue.empty()) state_.PopFront();
        // The answer is over: its command was taken.
        answerOwner_ = state_.FrontChanges;
    }
}

void Tracker::Translate(std::string_view incoming, bool run) {
    state_.PendingText += incoming;
    if (state_.PendingText.size() > kPendingLimit) {
        // A game that answers a move with something tracking does not know would otherwise
        // make this buffer, and every later read, grow without end.
        state_.PendingText.erase(0, state_.PendingText.size() - kPendingLimit);
        if (!trimLogged_) {
            trimLogged_ = true;
            host_.DLine("TranslateCmd: PendingText > 64 KiB, only the last 64 KiB kept.");
        }
    }
    if (!run) return;
    state_.Loop = true;
    state_.CurrentCmd.clear();
    for (int passes = 0; !state_.PendingText.empty() && state_.Loop && passes < kMaxPasses;
         ++passes)
        Pass();
}

const Tracker::IdleNeedles& Tracker::Needles() {
    const bool same = needles_ && needles_->stuffTem == profile_.StuffTem &&
                      needles_->mobTem == profile_.MobTem &&
                      needles_->noDoubleYa == profile_.NoDoubleYa;
    if (same) return *needles_;
    needles_ = std::make_unique<IdleNeedles>();
    needles_->stuffTem = profile_.StuffTem;
    needles_->mobTem = profile_.MobTem;
    needles_->noDoubleYa = profile_.NoDoubleYa;
    for (const std::string* tmpl : {&profile_.StuffTem, &profile_.MobTem}) {
        if (tmpl->empty()) continue;
        std::string head(TemplateHead(text::DecodeEscapes(*tmpl)));
        // Without a head any line may start a report.
        if (head.empty()) needles_->always = true;
        // The letter "я" stands doubled in what goes to the client.
        if (profile_.NoDoubleYa) head = text::ReplaceAll(head, "\xFF", "\xFF\xFF");
        needles_->heads.push_back(std::move(head));
    }
    return *needles_;
}

namespace {
// These run over every byte the game sends while tracing is off.
bool Holds(std::string_view hay, const std::string& needle) {
    return text::FindBytes(hay, needle) != std::string_view::npos;
}
} // namespace

void Tracker::TranslateIdle(std::string_view raw) {
    const IdleNeedles& needles = Needles();
    bool needed =
        needles.always || state_.PendingText.find("->>") != npos || raw.find("->>") != npos;
    for (std::size_t i = 0; !needed && i < needles.heads.size(); ++i)
        needed = Holds(raw, needles.heads[i]);
    if (!needed) {
        state_.Clear();
        return;
    }
    Translate(profile_.NoDoubleYa ? text::ReplaceAll(raw, "\xFF\xFF", "\xFF") : std::string(raw));
}

void Tracker::DropIdleText() {
    // A tell line that the next read completes must not be lost with the rest.
    const size_t tell = state_.PendingText.rfind("->>");
    std::string keep;
    if (tell != npos && state_.PendingText.find("\r\n", tell) == npos)
        keep = state_.PendingText.substr(tell);
    state_.Clear();
    state_.PendingText = std::move(keep);
}

void Tracker::TakeObjectBaseLines() {
    std::string& p = state_.PendingText;
    for (size_t at = p.find("->>"); at != npos; at = p.find("->>", at)) {
        size_t end = p.find("\r\n", at);
        if (end == npos) break; // the line is not complete yet
        std::string line = text::StripAnsi(std::string_view(p).substr(at, end - at));
        p.erase(at, end - at);
        host_.ObjectBaseLine(line);
    }
}

void Tracker::CheckRetreat() {
    std::string& p = state_.PendingText;
    if (profile_.Retreat.empty()) return;
    size_t at = p.find(profile_.Retreat);
    if (at == npos) return;
    host_.DLine(W("Паника."));
    state_.CommandQueue.push_back(profile_.Retreat);
    state_.CurrentCmd = state_.CommandQueue.front();
    size_t end = p.find("\r\n", at);
    p.erase(at, end == npos ? npos : end + 2 - at);
}

void Tracker::CheckFollow() {
    std::string& p = state_.PendingText;
    if (profile_.Follow.empty()) return;
    size_t f = p.find(profile_.Follow);
    if (f == npos) return;
    host_.DLine(W("Cледование есть."));
    // The line ends at its first CR or LF: games of the Merc family end lines with LF CR.
    size_t lineEnd = p.find_first_of("\r\n", f);
    size_t restFrom = f + profile_.Follow.size() + 1;
    std::string rest =
        restFrom < p.size()
            ? p.substr(restFrom, lineEnd == npos || lineEnd < restFrom ? npos : lineEnd - restFrom)
            : std::string();
    std::string before = p.substr(0, f);
    // Leader words are tested north, south, west, east, up, down; a later match wins.
    static constexpr map::Dir kOrder[] = {map::North, map::South, map::West,
                                          map::East,  map::Up,    map::Down};

    std::string direction;
    if (profile_.FollowLine) {
        for (map::Dir d : kOrder)
            if (!profile_.LeaderWords[d].empty() && rest.find(profile_.LeaderWords[d]) != npos)
                direction = profile_.MoveWords[d];
    } else {
        bool found = false;
        size_t lineStart = 0;
        while (!found && lineStart < before.size()) {
            size_t eol = before.find('\n', lineStart);
            std::string_view line =
                std::string_view(before).substr(lineStart, eol == npos ? npos : eol - lineStart);
            for (const auto& raw : profile_.LeaderMove) {
                std::string entry = text::DecodeEscapes(text::Trim(raw));
                if (entry.empty()) continue;
                size_t at = line.find(entry);
                if (at == npos) continue;
                host_.DLine(W("Лидер :") + entry);
                if (entry.find(' ') == npos) {
                    std::string_view after = line.substr(at + entry.size());
                    direction = text::Trim(after);
                } else {
                    direction = profile_.Portal;
                }
                host_.DLine(W("Направление :") + direction);
                std::string mapped = direction;
                for (map::Dir d : kOrder)
                    if (!profile_.LeaderWords[d].empty() &&
                        text::StartsWith(direction, profile_.LeaderWords[d]))
                        mapped = profile_.MoveWords[d];
                direction = mapped;
                found = true;
                break;
            }
            if (eol == npos) break;
            lineStart = eol + 1;
        }
        if (found) {
            state_.CurrentCmd.clear();
            state_.Loop = true;
        }
    }
    if (!direction.empty()) {
        state_.PushFront(direction);
        state_.CurrentCmd = direction;
        p.erase(f, lineEnd == npos ? npos : lineEnd - f);
    } else {
        host_.ModeClick(false);
    }
}

void Tracker::CheckWaitingTriggers(size_t exitLine) {
    map::TMudRoom2* room = map_.World().CurrentRoom;
    if (!room || exitLine == npos) return;
    for (const auto& line : room->AutoMaps) {
        std::string field = text::GetField(line, 2);
        if (field.empty() || field[0] != '=') continue;
        std::string trigger = text::DecodeEscapes(field.substr(1));
        if (trigger.empty()) continue;
        size_t at = state_.PendingText.find(trigger);
        if (at == npos || at >= exitLine) continue;
        state_.CurrentCmd = trigger;
        state_.PushFront(trigger);
        host_.DLine(W("Ждущий триггер сработал: ") + trigger);
        return;
    }
}

void Tracker::Pass() {
    TakeObjectBaseLines();
    state_.Loop = false;
    host_.DLine(W("TranslateCmd: старт цикла."));
    state_.Seen.Clear();

    auto& queue = state_.CommandQueue;
    while (!queue.empty() && queue.front().empty())
        state_.PopFront();
    state_.CurrentCmd = queue.empty() ? std::string() : queue.front();
    if (LogOn())
        host_.DLine(W("TranslateCmd: Команда: ") + state_.CurrentCmd + W(", размер списка: ") +
                    std::to_string(queue.size()));

    if (map::TMudRoom2* room = map_.World().CurrentRoom) room->Selected = false;
    const std::string& exitStart = profile_.AutoexitStartDecoded;
    size_t exitLine = exitStart.empty() ? npos : state_.PendingText.find(exitStart);

    CheckRetreat();
    CheckFollow();
    host_.CaptureReports(state_.PendingText);
    CheckWaitingTriggers(exitLine);

    if (queue.empty() && exitLine != npos) {
        state_.CurrentCmd = profile_.Look;
        queue.push_back(profile_.Look);
        host_.DLine(W("Список команд пуст, но есть описание комнаты, вставлено: ") + profile_.Look);
    }

    if (host_.Tracing()) {
        if (!state_.CurrentCmd.empty()) positioner_.Position();
        if (map::TMudRoom2* room = map_.World().CurrentRoom) {
            room->Selected = true;
            host_.Repaint();
        }
    } else {
        DropIdleText();
        state_.Loop = false;
    }

    if (queue.empty() && !state_.Loop) {
        SeenRoom dropped;
        while (ParseRoom(state_.PendingText, profile_, dropped))
            if (LogOn())
                host_.DLine(W("TranslateCMD.Deleted: Описатель комнаты:") + dropped.Name + "\r\n" +
                            dropped.Desc + "\r\n" + dropped.Exits);
    }

    if (state_.CurrentCmd == kTranslationDone && !queue.empty()) {
        if (LogOn()) host_.DLine(W("TranslateCMD.Deleted: Отработавшая команда: ") + queue.front());
        state_.PopFront();
    } else if (queue.empty() && exitLine == npos && state_.PendingText.size() > kIdleLimit) {
        state_.PendingText.erase(0, state_.PendingText.size() - kIdleLimit);
    }
    if (LogOn())
        host_.DLine("TranslateCMD: sIncoming length=" + std::to_string(state_.PendingText.size()));
}

} // namespace tracking
