#include "tracking/WorldProfile.h"

#include "text/Text.h"

namespace tracking {

void WorldProfile::DecodeMarkers() {
    AutoexitStartDecoded = text::DecodeEscapes(AutoexitStart);
    AutoexitEndDecoded = text::DecodeEscapes(AutoexitEnd);
    PromptExitStartDecoded = text::DecodeEscapes(PromptExitStart);
    PromptExitEndDecoded = text::DecodeEscapes(PromptExitEnd);
    RoomNameStartDecoded = text::DecodeEscapes(RoomNameStart);
    RoomNameEndDecoded = text::DecodeEscapes(RoomNameEnd);
}

std::string WorldProfile::DirectionsJoined() const {
    std::string out;
    for (int i = 0; i < 6; ++i) {
        if (i) out += '|';
        out += Directions[i];
    }
    return out;
}

bool WorldProfile::IsLocked(const std::string& zone) const {
    for (const auto& z : Locks)
        if (text::EqualsIgnoreCaseCp1251(z, zone)) return true;
    return false;
}

} // namespace tracking
