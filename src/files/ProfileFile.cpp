#include "files/ProfileFile.h"

#include "files/IniFile.h"
#include "text/Text.h"

namespace storage {

namespace {
const char* const kWordKeys[6] = {"North", "South", "East", "West", "Up", "Down"};

std::vector<std::string> ReadList(const storage::IniFile& ini, const char* section) {
    return ini.ReadSectionValues(section);
}

void WriteList(storage::IniFile& ini, const char* section, const char* prefix,
               const std::vector<std::string>& values) {
    ini.EraseSection(section);
    for (size_t i = 0; i < values.size(); ++i)
        ini.WriteString(section, prefix + std::to_string(i), values[i]);
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

void WriteWholeProfile(const profile::WorldProfile& p, IniFile& ini) {
    ini.BeginBatch();
    ini.WriteInteger("Connect", "Client Port", p.ClientPort);
    ini.WriteString("Connect", "Server Name", p.ServerName);
    ini.WriteInteger("Connect", "Server Port", p.ServerPort);

    ini.WriteBool("Options", "NoDoubleYa", p.NoDoubleYa);
    ini.WriteBool("Options", "AddDoubleYa", p.AddDoubleYa);
    ini.WriteBool("Options", "AddDoubleYaLor", p.AddDoubleYaLor);
    ini.WriteBool("Options", "NoDescription", p.NoDescription);
    ini.WriteBool("Options", "MccpEnabled", p.MccpEnabled);
    ini.WriteBool("Options", "MsdpEnabled", p.MsdpEnabled);
    ini.WriteBool("Options", "GmcpEnabled", p.GmcpEnabled);
    ini.WriteString("Options", "Zone", p.Zone);

    ini.WriteBool("Exits", "AutoexitsIgnoreCase", p.AutoexitsIgnoreCase);
    for (int i = 0; i < 6; ++i)
        ini.WriteString("Exits", kWordKeys[i], p.ExitWords[i]);

    ini.WriteString("Messages", "Dark", p.Dark);
    ini.WriteString("Messages", "NoExits", p.NoExits);
    ini.WriteString("Messages", "Retreat", p.Retreat);
    ini.WriteString("Messages", "Follow", p.Follow);
    ini.WriteBool("Messages", "FollowLine", p.FollowLine);
    ini.WriteString("Messages", "RoomNameStart", p.RoomNameStart);
    ini.WriteString("Messages", "RoomNameEnd", p.RoomNameEnd);
    ini.WriteString("Messages", "AutoexitStart", p.AutoexitStart);
    ini.WriteString("Messages", "AutoexitEnd", p.AutoexitEnd);
    ini.WriteString("Messages", "PromptExitStart", p.PromptExitStart);
    ini.WriteString("Messages", "PromptExitEnd", p.PromptExitEnd);
    ini.WriteBool("Messages", "UsePromptExit", p.UsePromptExit);
    ini.WriteString("Messages", "StuffTem", text::ReplaceAll(p.StuffTem, "\r\n", "#$0D#$0A"));
    ini.WriteString("Messages", "StuffSeq", p.StuffSeq);
    ini.WriteString("Messages", "MobTem", text::ReplaceAll(p.MobTem, "\r\n", "#$0D#$0A"));
    ini.WriteString("Messages", "MobSeq", p.MobSeq);
    ini.WriteString("Messages", "GroupTell", p.GroupTell);
    ini.WriteString("Messages", "ClanTell", p.ClanTell);

    for (int i = 0; i < 6; ++i)
        ini.WriteString("Leader", kWordKeys[i], p.LeaderWords[i]);
    WriteList(ini, "Leader Move", "Move", p.LeaderMove);

    ini.WriteString("Moves", "StopTrace", p.StopTrace);
    ini.WriteString("Moves", "Clear", p.Clear);
    ini.WriteString("Moves", "Look", p.Look);
    for (int i = 0; i < 6; ++i)
        ini.WriteString("Moves", kWordKeys[i], p.MoveWords[i]);
    ini.WriteString("Moves", "Portal", p.Portal);
    ini.WriteString("Moves", "Speedwalk", p.Speedwalk);
    ini.WriteString("Moves", "Returnwalk", p.Returnwalk);
    ini.WriteString("Moves", "Sneakwalk", p.Sneakwalk);
    ini.WriteString("Moves", "Fleewalk", p.Fleewalk);
    ini.WriteString("Moves", "Directions", p.DirectionsJoined());
    WriteList(ini, profile::kCantMoveSection, "CantMove", p.CantMove);
    WriteList(ini, "Dark", "Dark", p.DarkList);
    ini.WriteString("Skin", "IniFile", p.SkinIniFile);
    ini.EndBatch();
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
