#include "families/FamilyStyle.h"

#include "files/SessionFile.h"
#include "text/Cp1251.h"

#include <QString>
#include <stdexcept>

namespace families {

std::string Style::Command(const Step& step, const Town& town) const {
    if (step.kind == Step::Open) return OpenCommand(town.rooms.at(step.from).doors.at(step.dir));
    if (step.kind == Step::Unknown) return "open door";
    return step.command;
}

std::string Style::Wire(const std::string& utf8) const {
    std::string bytes = text::FromUnicode(QString::fromUtf8(utf8));
    if (!DoublesYa()) return bytes;
    std::string out;
    for (char c : bytes) {
        out += c;
        if (c == '\xFF') out += c;
    }
    return out;
}

std::string Style::Greeting(const Town& town, int room, Game& game) const {
    const Room& start = town.rooms.at(room);
    return Wire(Welcome() + RoomText(start, town, game, true) + End(start, game)) +
           (GoAhead() ? "\xFF\xF9" : "");
}

std::string Style::Answer(const Step& step, const Town& town, Game& game) const {
    const Room& from = town.rooms.at(step.from);
    std::string said;
    switch (step.kind) {
    case Step::Look:
        said = RoomText(from, town, game, false);
        break;
    case Step::Move:
        ++game.moves;
        said = MoveMessage(step.dir) + RoomText(town.rooms.at(step.to), town, game, true);
        break;
    case Step::Follow:
        ++game.moves;
        said = FollowText(step.dir) + RoomText(town.rooms.at(step.to), town, game, true);
        break;
    case Step::Refused:
        said = NoWay();
        break;
    case Step::ClosedDoor:
        said = Closed(from.doors.at(step.dir));
        break;
    case Step::Open:
        game.open.insert({from.id, step.dir});
        game.open.insert({from.exits.at(step.dir), Opposite(step.dir)});
        said = Opened(from.doors.at(step.dir));
        break;
    case Step::Unknown:
        said = Unknown();
        break;
    }
    return Wire(said + End(town.rooms.at(step.to), game)) + (GoAhead() ? "\xFF\xF9" : "");
}

bool Style::IsClosed(const Room& room, char dir, const Game& game) const {
    return Doors() && room.doors.count(dir) && !game.open.count({room.id, dir});
}

std::string Style::Lines(const std::vector<std::string>& lines, const char* end) {
    std::string out;
    for (const std::string& line : lines)
        out += line + end;
    return out;
}

std::string Style::ThingsIn(const Room& room, const char* things, const char* creatures,
                            const char* reset) const {
    std::string out = things;
    for (const Said& obj : room.objs)
        out += obj.In(Russian()) + "\r\n";
    out += creatures;
    for (const Said& mob : room.mobs)
        out += mob.In(Russian()) + "\r\n";
    return out + reset;
}

std::vector<std::unique_ptr<Style>> AllStyles() {
    std::vector<std::unique_ptr<Style>> all;
    all.push_back(RusDiku());
    all.push_back(CircleMud());
    all.push_back(TbaMud());
    all.push_back(Rom());
    all.push_back(Smaug());
    all.push_back(LpMud());
    return all;
}

std::unique_ptr<Style> MakeStyle(const std::string& id) {
    for (auto& style : AllStyles())
        if (style->Id() == id) return std::move(style);
    throw std::runtime_error("no family " + id);
}

std::string MakeSession(const Style& style, const Town& town, const Walk& walk) {
    using storage::AppendSessionRecord;
    std::string out(storage::kSessionHeader);
    Game game;
    std::uint64_t ms = 0;
    AppendSessionRecord(out, 'E', ms, "client connected");
    AppendSessionRecord(out, 'E', ms += 40, "server connected");
    AppendSessionRecord(out, 'S', ms += 160, style.Greeting(town, walk.start, game));
    for (std::size_t i = 0; i < walk.sends.size(); ++i) {
        ms += 1500;
        std::string answer;
        for (const Step& step : walk.sends[i]) {
            // The leader's move is the game's: the player types nothing.
            if (step.kind != Step::Follow)
                AppendSessionRecord(out, 'C', ms, style.Command(step, town) + "\r\n");
            ms += 20;
            answer += style.Answer(step, town, game);
        }
        // The seventh answer comes in two reads, cut in its middle as a network may cut it.
        if (i == 6) {
            const std::size_t half = answer.size() / 2;
            AppendSessionRecord(out, 'S', ms += 130, answer.substr(0, half));
            AppendSessionRecord(out, 'S', ms += 15, answer.substr(half));
        } else {
            AppendSessionRecord(out, 'S', ms += 130, answer);
        }
    }
    return out;
}

} // namespace families
