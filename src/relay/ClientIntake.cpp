#include "relay/ClientIntake.h"

#include "files/AppSettings.h"
#include "map/LinkLine.h"
#include "map/MapModel.h"
#include "profile/WorldProfile.h"
#include "text/Text.h"
#include "tracking/TrackingState.h"

namespace relay {

namespace {
constexpr size_t npos = std::string::npos;

bool Begins(const std::string& block, const std::string& word) {
    return !word.empty() && text::StartsWith(block, word);
}

std::string DropTrailingControls(std::string s) {
    while (!s.empty() && static_cast<unsigned char>(s.back()) < 32)
        s.pop_back();
    return s;
}

std::string DoubleYa(const std::string& s, bool enabled) {
    return enabled ? text::ReplaceAll(s, "\xFF", "\xFF\xFF") : s;
}

} // namespace

std::string ClientIntake::Collapse(const std::string& s) const {
    return profile_.NoDoubleYa ? text::ReplaceAll(s, "\xFF\xFF", "\xFF") : s;
}

std::string ClientIntake::RewriteForLinks(const std::string& block) const {
    std::string typed = DropTrailingControls(Collapse(block));
    auto dir = map_.Words().FromMoveWord(typed);
    const map::TMudRoom2* room = map_.World().CurrentRoom;
    if (!dir || !room) return block;
    const std::string& phrase = map::Phrase(profile_, *dir);
    std::string out = block;
    for (const auto& line : room->AutoMaps) {
        std::string commands = text::GetField(line, 4);
        if (commands.empty() || text::GetField(line, 2) != phrase) continue;
        commands = text::ReplaceAll(commands, ";", "\n");
        out = map::ReadSendMove(text::GetField(line, 5), text::GetField(line, 4))
                  ? commands + "\n" + out
                  : commands + "\n";
    }
    return out;
}

void ClientIntake::SSClientRead(const std::string& raw) {
    // A telnet client doubles the letter "я" (0xFF); the program's own words and the queued
    // commands are compared with single letters, as the server's text is.
    const std::string block = Collapse(raw);
    const std::string requestWord =
        settings_.RequestObject.empty() ? std::string() : settings_.RequestObject + " ";
    const std::string aliasWord =
        settings_.SetAlias.empty() ? std::string() : settings_.SetAlias + " ";
    const bool isSpeedwalk = Begins(block, profile_.Speedwalk);
    const bool isReturn = Begins(block, profile_.Returnwalk);
    const bool isNewZone = Begins(block, settings_.NewZone);
    const bool isAlias = Begins(block, aliasWord);
    const bool hasStop = !profile_.StopTrace.empty() && block.find(profile_.StopTrace) != npos;
    const bool isRequest = Begins(block, requestWord);

    std::string b = block;
    if (!isSpeedwalk && !isReturn && !Begins(block, profile_.StopTrace) && !isRequest &&
        !isNewZone && !isAlias) {
        std::string forwarded = RewriteForLinks(raw);
        host_.SendToServer(forwarded);
        b = Collapse(forwarded);
    }

    if (isSpeedwalk) return Speedwalk(b);
    if (isReturn) {
        map::MapWorld& world = map_.World();
        if (world.CurrentRoom && world.ReturnRoom) {
            world.ContextRoom = world.ReturnRoom;
            host_.StartSpeedwalk();
        }
        return;
    }
    if (isNewZone) return NewZone(b);
    if (isAlias) return SetAlias(b);
    if (hasStop) return host_.ModeClick(false);
    if (isRequest) {
        std::string query = b.substr(requestWord.size());
        query = text::ReplaceAll(text::ReplaceAll(query, "\r", ""), "\n", "");
        return host_.SearchObjects(query);
    }
    Track(b);
}

void ClientIntake::Track(const std::string& block) {
    std::string b = text::Trim(text::LowerLatin(text::Trim(block)));
    if (b == profile_.Look || b == profile_.Clear) {
        tracking_.CommandQueue.clear();
        tracking_.PendingText.clear();
        ++tracking_.FrontChanges;
        host_.ModeClick(true);
    }
    size_t start = 0;
    for (;;) {
        size_t lf = b.find('\n', start);
        tracking_.CommandQueue.push_back(
            text::Trim(std::string_view(b).substr(start, lf == npos ? npos : lf - start)));
        if (lf == npos) break;
        start = lf + 1;
    }
}

void ClientIntake::SetAlias(const std::string& block) {
    map::MapWorld& world = map_.World();
    if (!world.CurrentRoom) return;
    // Without a context room the player means the room they stand in; the line end typed
    // with the command is not part of the alias (it could never be found again).
    map::TMudRoom2* room = world.ContextRoom ? world.ContextRoom : world.CurrentRoom;
    std::string alias = DropTrailingControls(block.substr(settings_.SetAlias.size() + 1, 100));
    room->QuickList = alias;
    host_.AliasAdded(room);
}

void ClientIntake::NewZone(const std::string& block) {
    size_t lf = block.find('\n');
    if (lf == npos) return host_.NewZone("", false);
    std::string name = block.substr(settings_.NewZone.size(), lf - settings_.NewZone.size());
    host_.NewZone(name, true); // doubled "я" already collapsed
}

void ClientIntake::Speedwalk(const std::string& block) {
    std::string b = DropTrailingControls(block);
    map::MapWorld& world = map_.World();
    if (b.size() > profile_.Speedwalk.size()) {
        if (b.size() <= profile_.Speedwalk.size() + 1) return;
        std::string alias = text::Trim(std::string_view(b).substr(profile_.Speedwalk.size() + 1));
        if (!world.CurrentRoom) return;
        if (map::TMudRoom2* target = world.FindRoomByAlias(alias)) {
            world.ContextRoom = target;
            world.ReturnRoom = world.CurrentRoom;
            host_.StartSpeedwalk();
        }
        return;
    }
    ListAliases();
}

void ClientIntake::ListAliases() {
    std::string out;
    map_.World().Lists().ForEachWorldRoom([&](map::TMudRoom2* room, const std::string& zone) {
        if (room->QuickList.empty()) return;
        out +=
            DoubleYa("\r\n\x1b[1;32m" + room->QuickList + "\x1b[0m  - " + zone + "." + room->Hint,
                     profile_.AddDoubleYaLor);
    });
    host_.SendToClient(out + "\r\n\r\n");
}

} // namespace relay
