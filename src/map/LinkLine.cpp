#include "map/LinkLine.h"

#include "text/Text.h"

#include <climits>

namespace map {

LinkLine LinkLine::Parse(std::string_view line) {
    LinkLine l;
    l.zone = text::GetField(line, 1);
    l.exit = text::GetField(line, 2);
    l.room = text::GetField(line, 3);
    l.command = text::GetField(line, 4);
    l.sendMove = text::GetField(line, 5);
    return l;
}

std::string LinkLine::Join() const {
    return zone + "|" + exit + "|" + room + "|" + command + "|" + sendMove;
}

int LinkLine::RoomNumber() const {
    long long v = 0;
    if (!text::ParseInt(room, v) || v < INT_MIN || v > INT_MAX) return 0;
    return static_cast<int>(v);
}

bool LinkLine::SendsMove() const {
    return ReadSendMove(sendMove, command);
}

bool ReadSendMove(std::string_view field, std::string_view command) {
    const std::string trimmed = text::Trim(field);
    if (trimmed.empty()) return command.empty();
    long long v = 0;
    if (text::ParseInt(trimmed, v)) return v != 0;
    return text::EqualsIgnoreCaseLatin(trimmed, "true");
}

} // namespace map
