#pragma once
// The per-world profile "local.ini": everything game-specific that the program recognises or
// sends. Plain data, header-only, so that the map can use it as well as tracking. Values are
// Windows-1251 bytes. Markers are kept as written (for writing back and the settings dialog) and
// decoded (for recognition).

#include "text/Text.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace profile {

// Index order of the six words of the Exits, Leader and Moves sections: north, south, east,
// west, up, down. (The Directions phrases run north, south, west, east, up, down.)
enum WordIndex { kNorth = 0, kSouth = 1, kEast = 2, kWest = 3, kUp = 4, kDown = 5 };

struct WorldProfile {
    // [Connect]
    int ClientPort = 4999;
    std::string ServerName; // as written: host name or numeric address
    int ServerPort = 4000;

    // [Options]
    bool NoDoubleYa = true;
    bool AddDoubleYa = false;
    bool AddDoubleYaLor = true;
    bool MccpEnabled = false;
    // The program asks the game for the player's room out of band (MSDP, GMCP) when offered.
    bool MsdpEnabled = true;
    bool GmcpEnabled = true;
    bool NoDescription = false;
    std::string Zone;

    // [Exits]
    bool AutoexitsIgnoreCase = false;
    std::array<std::string, 6> ExitWords{"N", "S", "E", "W", "U", "D"};

    // [Messages], markers as written
    std::string AutoexitStart = "#$1B[36m[ Exits:";
    std::string AutoexitEnd = "]#$0D#$0A";
    std::string PromptExitStart = "\xC2\xFB\xF5:"; // Вых:
    std::string PromptExitEnd = ">";
    bool UsePromptExit = false;
    std::string RoomNameStart = "#$1B[1;36m";
    std::string RoomNameEnd = "#$0D#$0A";
    std::string RequestCommand = "\xEB\xEE\xF0";                       // лор
    std::string Dark = "\xC7\xE4\xE5\xF1\xFC \xF2\xE5\xEC\xED\xEE..."; // Здесь темно...
    std::string NoExits = "None!";
    std::string Retreat =
        "\xC2\xFB \xE1\xFB\xF1\xF2\xF0\xEE \xF3\xE1\xE5\xE6\xE0\xEB\xE8"; // Вы быстро убежали
    std::string Follow =
        "\xC2\xFB \xEF\xEE\xF1\xEB\xE5\xE4\xEE\xE2\xE0\xEB\xE8 \xE7\xE0"; // Вы последовали за
    bool FollowLine = false;
    std::string StuffTem; // with real CR LF
    std::string StuffSeq;
    std::string GroupTell = "\xE3\xE3"; // гг
    std::string ClanTell = "\xEA\xE3";  // кг
    std::string MobTem;                 // with real CR LF
    std::string MobSeq;

    // Decoded markers that recognition compares against.
    std::string AutoexitStartDecoded, AutoexitEndDecoded, PromptExitStartDecoded,
        PromptExitEndDecoded, RoomNameStartDecoded, RoomNameEndDecoded;

    // [Leader] and [Leader Move]
    std::array<std::string, 6> LeaderWords{"\xED\xE0 \xF1\xE5\xE2\xE5\xF0",     // на север
                                           "\xED\xE0 \xFE\xE3",                 // на юг
                                           "\xED\xE0 \xE2\xEE\xF1\xF2\xEE\xEA", // на восток
                                           "\xED\xE0 \xE7\xE0\xEF\xE0\xE4",     // на запад
                                           "\xE2\xE2\xE5\xF0\xF5",              // вверх
                                           "\xE2\xED\xE8\xE7"};                 // вниз
    std::vector<std::string> LeaderMove;

    // [Moves]
    std::string StopTrace = "\xF1\xF2\xEE\xEF\xF2\xF0";     // стоптр
    std::string Clear = "\xEE\xF7\xE8\xF1\xF2\xE8\xF2\xFC"; // очистить
    std::string Look = "look";
    std::array<std::string, 6> MoveWords{"n", "s", "e", "w", "u", "d"};
    std::string Portal = "\xE2\xEE\xE9\xF2\xE8";                            // войти
    std::string Speedwalk = "\xE3\xEE\xF3";                                 // гоу
    std::string Returnwalk = "\xED\xE0\xE7\xE0\xE4";                        // назад
    std::string Sneakwalk = "\xEF\xEE\xE4\xEA\xF0\xE0\xF1\xF2\xFC\xF1\xFF"; // подкрасться
    std::string Fleewalk = "\xF3\xE1\xE5\xE6\xE0\xF2\xFC";                  // убежать
    // Six phrases in the order north, south, west, east, up, down.
    std::array<std::string, 6> Directions{
        "\xED\xE0 \xF1\xE5\xE2\xE5\xF0", "\xED\xE0 \xFE\xE3",
        "\xED\xE0 \xE7\xE0\xEF\xE0\xE4", "\xED\xE0 \xE2\xEE\xF1\xF2\xEE\xEA",
        "\xE2\xE2\xE5\xF0\xF5",          "\xE2\xED\xE8\xE7"};

    std::vector<std::string> CantMove; // [Can`t Move]
    std::vector<std::string> DarkList; // [Dark]
    std::vector<std::string> Locks;    // [Lock] key names

    // [Skin]
    std::string SkinIniFile = "noskin.ini";
    int CurrentSkin = 0;

    WorldProfile() { DecodeMarkers(); }

    // Recomputes the decoded forms of the six markers.
    void DecodeMarkers() {
        AutoexitStartDecoded = text::DecodeEscapes(AutoexitStart);
        AutoexitEndDecoded = text::DecodeEscapes(AutoexitEnd);
        PromptExitStartDecoded = text::DecodeEscapes(PromptExitStart);
        PromptExitEndDecoded = text::DecodeEscapes(PromptExitEnd);
        RoomNameStartDecoded = text::DecodeEscapes(RoomNameStart);
        RoomNameEndDecoded = text::DecodeEscapes(RoomNameEnd);
    }

    // "Directions" joined back with "|".
    std::string DirectionsJoined() const {
        std::string out;
        for (int i = 0; i < 6; ++i) {
            if (i) out += '|';
            out += Directions[i];
        }
        return out;
    }
    // True when `zone` is in the lock list (compared as INI files compare key names).
    bool IsLocked(const std::string& zone) const {
        for (const auto& z : Locks)
            if (text::EqualsIgnoreCaseCp1251(z, zone)) return true;
        return false;
    }
};

// Section name of the refused-move list: "Can" + back-quote + "t Move".
inline constexpr char kCantMoveSection[] = "Can`t Move";

// One key of the profile file by its section and name as the file spells them; a list section
// ([Can`t Move], [Dark], [Leader Move]) is named with an empty key and stands for all its keys.
struct ProfileKey {
    std::string_view section, key;
    bool operator==(const ProfileKey&) const = default;
};

// The names of the six word keys of [Exits], [Leader] and [Moves], in the profile's order.
inline constexpr std::string_view kWordKeys[6] = {"North", "South", "East", "West", "Up", "Down"};

} // namespace profile
