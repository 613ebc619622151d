#include "tracking/WorldProfile.h"

#include "storage/IniFile.h"
#include "text/Text.h"

namespace tracking {

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

void WorldProfile::DecodeMarkers() {
    AutoexitStartDecoded = text::DecodeEscapes(AutoexitStart);
    AutoexitEndDecoded = text::DecodeEscapes(AutoexitEnd);
    PromptExitStartDecoded = text::DecodeEscapes(PromptExitStart);
    PromptExitEndDecoded = text::DecodeEscapes(PromptExitEnd);
    RoomNameStartDecoded = text::DecodeEscapes(RoomNameStart);
    RoomNameEndDecoded = text::DecodeEscapes(RoomNameEnd);
}

void WorldProfile::Read(const storage::IniFile& ini) {
    const WorldProfile d; // defaults
    ClientPort = ReadPort(ini, "Client Port", d.ClientPort);
    ServerName = ini.ReadString("Connect", "Server Name", "");
    ServerPort = ReadPort(ini, "Server Port", d.ServerPort);

    NoDoubleYa = ini.ReadBool("Options", "NoDoubleYa", d.NoDoubleYa);
    AddDoubleYa = ini.ReadBool("Options", "AddDoubleYa", d.AddDoubleYa);
    AddDoubleYaLor = ini.ReadBool("Options", "AddDoubleYaLor", d.AddDoubleYaLor);
    MccpEnabled = ini.ReadBool("Options", "MccpEnabled", MccpEnabled);
    NoDescription = ini.ReadBool("Options", "NoDescription", d.NoDescription);
    Zone = ini.ReadString("Options", "Zone", Zone);

    AutoexitsIgnoreCase = ini.ReadBool("Exits", "AutoexitsIgnoreCase", d.AutoexitsIgnoreCase);
    for (int i = 0; i < 6; ++i) ExitWords[i] = ini.ReadString("Exits", kWordKeys[i], d.ExitWords[i]);

    AutoexitStart = ini.ReadString("Messages", "AutoexitStart", d.AutoexitStart);
    AutoexitEnd = ini.ReadString("Messages", "AutoexitEnd", d.AutoexitEnd);
    PromptExitStart = ini.ReadString("Messages", "PromptExitStart", d.PromptExitStart);
    PromptExitEnd = ini.ReadString("Messages", "PromptExitEnd", d.PromptExitEnd);
    UsePromptExit = ini.ReadBool("Messages", "UsePromptExit", d.UsePromptExit);
    RoomNameStart = ini.ReadString("Messages", "RoomNameStart", d.RoomNameStart);
    RoomNameEnd = ini.ReadString("Messages", "RoomNameEnd", d.RoomNameEnd);
    RequestCommand = ini.ReadString("Messages", "RequestCommand", d.RequestCommand);
    Dark = ini.ReadString("Messages", "Dark", d.Dark);
    NoExits = ini.ReadString("Messages", "NoExits", d.NoExits);
    Retreat = ini.ReadString("Messages", "Retreat", d.Retreat);
    Follow = ini.ReadString("Messages", "Follow", d.Follow);
    FollowLine = ini.ReadBool("Messages", "FollowLine", d.FollowLine);
    StuffTem = text::ReplaceAll(ini.ReadString("Messages", "StuffTem", ""), "#$0D#$0A", "\r\n");
    StuffSeq = ini.ReadString("Messages", "StuffSeq", "");
    GroupTell = ini.ReadString("Messages", "GroupTell", d.GroupTell);
    ClanTell = ini.ReadString("Messages", "ClanTell", d.ClanTell);
    MobTem = text::ReplaceAll(ini.ReadString("Messages", "MobTem", ""), "#$0D#$0A", "\r\n");
    MobSeq = ini.ReadString("Messages", "MobSeq", "");
    DecodeMarkers();

    for (int i = 0; i < 6; ++i)
        LeaderWords[i] = ini.ReadString("Leader", kWordKeys[i], d.LeaderWords[i]);
    LeaderMove = ReadList(ini, "Leader Move");

    StopTrace = ini.ReadString("Moves", "StopTrace", d.StopTrace);
    Clear = ini.ReadString("Moves", "Clear", d.Clear);
    Look = ini.ReadString("Moves", "Look", d.Look);
    for (int i = 0; i < 6; ++i) MoveWords[i] = ini.ReadString("Moves", kWordKeys[i], d.MoveWords[i]);
    Portal = ini.ReadString("Moves", "Portal", d.Portal);
    Speedwalk = ini.ReadString("Moves", "Speedwalk", d.Speedwalk);
    Returnwalk = ini.ReadString("Moves", "Returnwalk", d.Returnwalk);
    Sneakwalk = ini.ReadString("Moves", "Sneakwalk", d.Sneakwalk);
    Fleewalk = ini.ReadString("Moves", "Fleewalk", d.Fleewalk);
    std::string dirs = ini.ReadString("Moves", "Directions", d.DirectionsJoined());
    for (int i = 0; i < 6; ++i) Directions[i] = text::GetField(dirs, i + 1);

    CantMove = ReadList(ini, kCantMoveSection);
    DarkList = ReadList(ini, "Dark");
    Locks = ini.ReadSection("Lock");

    SkinIniFile = ini.ReadString("Skin", "IniFile", d.SkinIniFile);
    long long skin = ini.ReadInteger("Skin", "CurrentSkin", 0);
    CurrentSkin = skin < 0 || skin > 1000000 ? 0 : static_cast<int>(skin);
}

void WorldProfile::WriteWhole(storage::IniFile& ini) const {
    ini.BeginBatch();
    ini.WriteInteger("Connect", "Client Port", ClientPort);
    ini.WriteString("Connect", "Server Name", ServerName);
    ini.WriteInteger("Connect", "Server Port", ServerPort);

    ini.WriteBool("Options", "NoDoubleYa", NoDoubleYa);
    ini.WriteBool("Options", "AddDoubleYa", AddDoubleYa);
    ini.WriteBool("Options", "AddDoubleYaLor", AddDoubleYaLor);
    ini.WriteBool("Options", "NoDescription", NoDescription);
    ini.WriteBool("Options", "MccpEnabled", MccpEnabled);
    ini.WriteString("Options", "Zone", Zone);

    ini.WriteBool("Exits", "AutoexitsIgnoreCase", AutoexitsIgnoreCase);
    for (int i = 0; i < 6; ++i) ini.WriteString("Exits", kWordKeys[i], ExitWords[i]);

    ini.WriteString("Messages", "Dark", Dark);
    ini.WriteString("Messages", "NoExits", NoExits);
    ini.WriteString("Messages", "Retreat", Retreat);
    ini.WriteString("Messages", "Follow", Follow);
    ini.WriteBool("Messages", "FollowLine", FollowLine);
    ini.WriteString("Messages", "RoomNameStart", RoomNameStart);
    ini.WriteString("Messages", "RoomNameEnd", RoomNameEnd);
    ini.WriteString("Messages", "AutoexitStart", AutoexitStart);
    ini.WriteString("Messages", "AutoexitEnd", AutoexitEnd);
    ini.WriteString("Messages", "PromptExitStart", PromptExitStart);
    ini.WriteString("Messages", "PromptExitEnd", PromptExitEnd);
    ini.WriteBool("Messages", "UsePromptExit", UsePromptExit);
    ini.WriteString("Messages", "StuffTem", text::ReplaceAll(StuffTem, "\r\n", "#$0D#$0A"));
    ini.WriteString("Messages", "StuffSeq", StuffSeq);
    ini.WriteString("Messages", "MobTem", text::ReplaceAll(MobTem, "\r\n", "#$0D#$0A"));
    ini.WriteString("Messages", "MobSeq", MobSeq);
    ini.WriteString("Messages", "GroupTell", GroupTell);
    ini.WriteString("Messages", "ClanTell", ClanTell);

    for (int i = 0; i < 6; ++i) ini.WriteString("Leader", kWordKeys[i], LeaderWords[i]);
    WriteList(ini, "Leader Move", "Move", LeaderMove);

    ini.WriteString("Moves", "StopTrace", StopTrace);
    ini.WriteString("Moves", "Clear", Clear);
    ini.WriteString("Moves", "Look", Look);
    for (int i = 0; i < 6; ++i) ini.WriteString("Moves", kWordKeys[i], MoveWords[i]);
    ini.WriteString("Moves", "Portal", Portal);
    ini.WriteString("Moves", "Speedwalk", Speedwalk);
    ini.WriteString("Moves", "Returnwalk", Returnwalk);
    ini.WriteString("Moves", "Sneakwalk", Sneakwalk);
    ini.WriteString("Moves", "Fleewalk", Fleewalk);
    ini.WriteString("Moves", "Directions", DirectionsJoined());
    WriteList(ini, kCantMoveSection, "CantMove", CantMove);
    WriteList(ini, "Dark", "Dark", DarkList);
    ini.WriteString("Skin", "IniFile", SkinIniFile);
    ini.EndBatch();
}

void WorldProfile::WriteSkinAndLocks(storage::IniFile& ini) const {
    ini.BeginBatch();
    ini.WriteInteger("Skin", "CurrentSkin", CurrentSkin);
    ini.EraseSection("Lock");
    for (const auto& zone : Locks) ini.WriteString("Lock", zone, "1");
    ini.EndBatch();
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
