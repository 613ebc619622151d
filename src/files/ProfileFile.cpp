#include "files/ProfileFile.h"

#include "files/IniFile.h"
#include "text/Text.h"

#include <algorithm>
#include <functional>

namespace storage {

namespace {
using profile::kWordKeys;

std::vector<std::string> ReadList(const storage::IniFile& ini, const char* section) {
    return ini.ReadSectionValues(section);
}

int ReadPort(const storage::IniFile& ini, const char* key, int def) {
    long long v = ini.ReadInteger("Connect", key, def);
    return (v < 0 || v > 65535) ? def : static_cast<int>(v);
}
} // namespace

void ReadProfile(profile::WorldProfile& p, const IniFile& ini) {
    const profile::WorldProfile d; // defaults
    p.ClientPort = ReadPort(ini, "Client Port", d.ClientPort);
    p.ServerName = ini.ReadString("Connect", "Server Name", "");
    p.ServerPort = ReadPort(ini, "Server Port", d.ServerPort);

    p.NoDoubleYa = ini.ReadBool("Options", "NoDoubleYa", d.NoDoubleYa);
    p.AddDoubleYa = ini.ReadBool("Options", "AddDoubleYa", d.AddDoubleYa);
    p.AddDoubleYaLor = ini.ReadBool("Options", "AddDoubleYaLor", d.AddDoubleYaLor);
    p.MccpEnabled = ini.ReadBool("Options", "MccpEnabled", p.MccpEnabled);
    p.MsdpEnabled = ini.ReadBool("Options", "MsdpEnabled", d.MsdpEnabled);
    p.GmcpEnabled = ini.ReadBool("Options", "GmcpEnabled", d.GmcpEnabled);
    p.NoDescription = ini.ReadBool("Options", "NoDescription", d.NoDescription);
    p.Zone = ini.ReadString("Options", "Zone", p.Zone);

    p.AutoexitsIgnoreCase = ini.ReadBool("Exits", "AutoexitsIgnoreCase", d.AutoexitsIgnoreCase);
    for (int i = 0; i < 6; ++i)
        p.ExitWords[i] = ini.ReadString("Exits", kWordKeys[i], d.ExitWords[i]);

    p.AutoexitStart = ini.ReadString("Messages", "AutoexitStart", d.AutoexitStart);
    p.AutoexitEnd = ini.ReadString("Messages", "AutoexitEnd", d.AutoexitEnd);
    p.PromptExitStart = ini.ReadString("Messages", "PromptExitStart", d.PromptExitStart);
    p.PromptExitEnd = ini.ReadString("Messages", "PromptExitEnd", d.PromptExitEnd);
    p.UsePromptExit = ini.ReadBool("Messages", "UsePromptExit", d.UsePromptExit);
    p.RoomNameStart = ini.ReadString("Messages", "RoomNameStart", d.RoomNameStart);
    p.RoomNameEnd = ini.ReadString("Messages", "RoomNameEnd", d.RoomNameEnd);
    p.RequestCommand = ini.ReadString("Messages", "RequestCommand", d.RequestCommand);
    p.Dark = ini.ReadString("Messages", "Dark", d.Dark);
    p.NoExits = ini.ReadString("Messages", "NoExits", d.NoExits);
    p.Retreat = ini.ReadString("Messages", "Retreat", d.Retreat);
    p.Follow = ini.ReadString("Messages", "Follow", d.Follow);
    p.FollowLine = ini.ReadBool("Messages", "FollowLine", d.FollowLine);
    p.StuffTem = text::ReplaceAll(ini.ReadString("Messages", "StuffTem", ""), "#$0D#$0A", "\r\n");
    p.StuffSeq = ini.ReadString("Messages", "StuffSeq", "");
    p.GroupTell = ini.ReadString("Messages", "GroupTell", d.GroupTell);
    p.ClanTell = ini.ReadString("Messages", "ClanTell", d.ClanTell);
    p.MobTem = text::ReplaceAll(ini.ReadString("Messages", "MobTem", ""), "#$0D#$0A", "\r\n");
    p.MobSeq = ini.ReadString("Messages", "MobSeq", "");
    p.DecodeMarkers();

    for (int i = 0; i < 6; ++i)
        p.LeaderWords[i] = ini.ReadString("Leader", kWordKeys[i], d.LeaderWords[i]);
    p.LeaderMove = ReadList(ini, "Leader Move");

    p.StopTrace = ini.ReadString("Moves", "StopTrace", d.StopTrace);
    p.Clear = ini.ReadString("Moves", "Clear", d.Clear);
    p.Look = ini.ReadString("Moves", "Look", d.Look);
    for (int i = 0; i < 6; ++i)
        p.MoveWords[i] = ini.ReadString("Moves", kWordKeys[i], d.MoveWords[i]);
    p.Portal = ini.ReadString("Moves", "Portal", d.Portal);
    p.Speedwalk = ini.ReadString("Moves", "Speedwalk", d.Speedwalk);
    p.Returnwalk = ini.ReadString("Moves", "Returnwalk", d.Returnwalk);
    p.Sneakwalk = ini.ReadString("Moves", "Sneakwalk", d.Sneakwalk);
    p.Fleewalk = ini.ReadString("Moves", "Fleewalk", d.Fleewalk);
    std::string dirs = ini.ReadString("Moves", "Directions", d.DirectionsJoined());
    for (int i = 0; i < 6; ++i)
        p.Directions[i] = text::GetField(dirs, i + 1);

    p.CantMove = ReadList(ini, profile::kCantMoveSection);
    p.DarkList = ReadList(ini, "Dark");
    p.Locks = ini.ReadSection("Lock");

    p.SkinIniFile = ini.ReadString("Skin", "IniFile", d.SkinIniFile);
    long long skin = ini.ReadInteger("Skin", "CurrentSkin", 0);
    p.CurrentSkin = skin < 0 || skin > 1000000 ? 0 : static_cast<int>(skin);
}

namespace {
using profile::WorldProfile;
using Writer = std::function<void(const WorldProfile&, IniFile&, std::string_view section,
                                  std::string_view key)>;

// One key of the whole profile and how it is written.
struct Entry {
    std::string_view section, key;
    Writer write;
};

Entry Str(std::string_view section, std::string_view key, std::string WorldProfile::*value) {
    return {section, key, [value](const WorldProfile& p, IniFile& ini, auto s, auto k) {
                ini.WriteString(s, k, p.*value);
            }};
}
Entry Int(std::string_view section, std::string_view key, int WorldProfile::*value) {
    return {section, key, [value](const WorldProfile& p, IniFile& ini, auto s, auto k) {
                ini.WriteInteger(s, k, p.*value);
            }};
}
Entry Bool(std::string_view section, std::string_view key, bool WorldProfile::*value) {
    return {section, key, [value](const WorldProfile& p, IniFile& ini, auto s, auto k) {
                ini.WriteBool(s, k, p.*value);
            }};
}
// A text with line breaks, written with them as escapes.
Entry Lines(std::string_view section, std::string_view key, std::string WorldProfile::*value) {
    return {section, key, [value](const WorldProfile& p, IniFile& ini, auto s, auto k) {
                ini.WriteString(s, k, text::ReplaceAll(p.*value, "\r\n", "#$0D#$0A"));
            }};
}
void Words(std::vector<Entry>& out, std::string_view section,
           std::array<std::string, 6> WorldProfile::*words) {
    for (int i = 0; i < 6; ++i)
        out.push_back({section, profile::kWordKeys[i],
                       [words, i](const WorldProfile& p, IniFile& ini, auto s, auto k) {
                           ini.WriteString(s, k, (p.*words)[i]);
                       }});
}
// A list section: erased, then its values under the prefix and their index.
Entry List(std::string_view section, const char* prefix,
           std::vector<std::string> WorldProfile::*values) {
    return {section, {}, [values, prefix](const WorldProfile& p, IniFile& ini, auto s, auto) {
                ini.EraseSection(s);
                for (size_t i = 0; i < (p.*values).size(); ++i)
                    ini.WriteString(s, prefix + std::to_string(i), (p.*values)[i]);
            }};
}

// Every key of the whole profile in the order it is written.
const std::vector<Entry>& Entries() {
    static const std::vector<Entry> entries = [] {
        using P = WorldProfile;
        std::vector<Entry> e;
        auto add = [&e](std::initializer_list<Entry> list) { e.insert(e.end(), list); };
        add({
            Int("Connect", "Client Port", &P::ClientPort),
            Str("Connect", "Server Name", &P::ServerName),
            Int("Connect", "Server Port", &P::ServerPort),
            Bool("Options", "NoDoubleYa", &P::NoDoubleYa),
            Bool("Options", "AddDoubleYa", &P::AddDoubleYa),
            Bool("Options", "AddDoubleYaLor", &P::AddDoubleYaLor),
            Bool("Options", "NoDescription", &P::NoDescription),
            Bool("Options", "MccpEnabled", &P::MccpEnabled),
            Bool("Options", "MsdpEnabled", &P::MsdpEnabled),
            Bool("Options", "GmcpEnabled", &P::GmcpEnabled),
            Str("Options", "Zone", &P::Zone),
            Bool("Exits", "AutoexitsIgnoreCase", &P::AutoexitsIgnoreCase),
        });
        Words(e, "Exits", &P::ExitWords);
        add({
            Str("Messages", "Dark", &P::Dark),
            Str("Messages", "NoExits", &P::NoExits),
            Str("Messages", "Retreat", &P::Retreat),
            Str("Messages", "Follow", &P::Follow),
            Bool("Messages", "FollowLine", &P::FollowLine),
            Str("Messages", "RoomNameStart", &P::RoomNameStart),
            Str("Messages", "RoomNameEnd", &P::RoomNameEnd),
            Str("Messages", "AutoexitStart", &P::AutoexitStart),
            Str("Messages", "AutoexitEnd", &P::AutoexitEnd),
            Str("Messages", "PromptExitStart", &P::PromptExitStart),
            Str("Messages", "PromptExitEnd", &P::PromptExitEnd),
            Bool("Messages", "UsePromptExit", &P::UsePromptExit),
            Lines("Messages", "StuffTem", &P::StuffTem),
            Str("Messages", "StuffSeq", &P::StuffSeq),
            Lines("Messages", "MobTem", &P::MobTem),
            Str("Messages", "MobSeq", &P::MobSeq),
            Str("Messages", "GroupTell", &P::GroupTell),
            Str("Messages", "ClanTell", &P::ClanTell),
        });
        Words(e, "Leader", &P::LeaderWords);
        e.push_back(List("Leader Move", "Move", &P::LeaderMove));
        e.push_back(Str("Moves", "StopTrace", &P::StopTrace));
        e.push_back(Str("Moves", "Clear", &P::Clear));
        e.push_back(Str("Moves", "Look", &P::Look));
        Words(e, "Moves", &P::MoveWords);
        add({
            Str("Moves", "Portal", &P::Portal),
            Str("Moves", "Speedwalk", &P::Speedwalk),
            Str("Moves", "Returnwalk", &P::Returnwalk),
            Str("Moves", "Sneakwalk", &P::Sneakwalk),
            Str("Moves", "Fleewalk", &P::Fleewalk),
        });
        e.push_back({"Moves", "Directions", [](const P& p, IniFile& ini, auto s, auto k) {
                         ini.WriteString(s, k, p.DirectionsJoined());
                     }});
        e.push_back(List(profile::kCantMoveSection, "CantMove", &P::CantMove));
        e.push_back(List("Dark", "Dark", &P::DarkList));
        e.push_back(Str("Skin", "IniFile", &P::SkinIniFile));
        return e;
    }();
    return entries;
}
} // namespace

void WriteWholeProfile(const profile::WorldProfile& p, IniFile& ini) {
    ini.BeginBatch();
    for (const Entry& entry : Entries())
        entry.write(p, ini, entry.section, entry.key);
    ini.EndBatch();
}

bool WriteProfileKeys(const profile::WorldProfile& p, const std::vector<profile::ProfileKey>& keys,
                      IniFile& ini) {
    ini.BeginBatch();
    for (const Entry& entry : Entries())
        if (std::find(keys.begin(), keys.end(), profile::ProfileKey{entry.section, entry.key}) !=
            keys.end())
            entry.write(p, ini, entry.section, entry.key);
    return ini.EndBatch();
}

void WriteSkinAndLocks(const profile::WorldProfile& p, IniFile& ini) {
    ini.BeginBatch();
    ini.WriteInteger("Skin", "CurrentSkin", p.CurrentSkin);
    ini.EraseSection("Lock");
    for (const auto& zone : p.Locks)
        ini.WriteString("Lock", zone, "1");
    ini.EndBatch();
}

} // namespace storage
