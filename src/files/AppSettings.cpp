#include "files/AppSettings.h"

#include "files/IniFile.h"

#include <climits>

namespace storage {

namespace {
int ReadInt(const IniFile& ini, const char* section, const char* key, int def) {
    long long v = ini.ReadInteger(section, key, def);
    return (v < INT_MIN || v > INT_MAX) ? def : static_cast<int>(v);
}

std::optional<int> ReadOptional(const IniFile& ini, const char* section, const char* key,
                                std::optional<int> current) {
    if (!ini.Find(section, key)) return current;
    long long v = ini.ReadInteger(section, key, LLONG_MIN);
    if (v == LLONG_MIN || v < INT_MIN || v > INT_MAX) return current;
    return static_cast<int>(v);
}
} // namespace

void AppSettings::Read(const IniFile& ini) {
    Top = ReadOptional(ini, "Window", "Top", Top);
    Left = ReadOptional(ini, "Window", "Left", Left);
    Height = ReadOptional(ini, "Window", "Height", Height);
    Width = ReadOptional(ini, "Window", "Width", Width);
    const AppSettings d;
    ListViewStyle = ReadInt(ini, "Options", "ListViewStyle", d.ListViewStyle);
    ScrollMult = ReadInt(ini, "Options", "ScrollMult", d.ScrollMult);
    StayOnTop = ini.ReadBool("Options", "StayOnTop", d.StayOnTop);
    CheckUpdates = ini.ReadBool("Options", "CheckUpdates", d.CheckUpdates);
    NoTransparency = ini.ReadBool("Options", "NoTransparency", d.NoTransparency);
    Transparency = ReadInt(ini, "Options", "Transparency", d.Transparency);
    PanelColor = ReadInt(ini, "Options", "PanelColor", d.PanelColor);
    PanelBitmap = ReadInt(ini, "Options", "PanelBitmap", d.PanelBitmap);
    TreeVisible = ini.ReadBool("Options", "TreeVisible", d.TreeVisible);
    TreeZonesWidth = ReadOptional(ini, "Options", "TreeZonesWidth", TreeZonesWidth);
    TreeObjectsWidth = ReadOptional(ini, "Options", "TreeObjectsWidth", TreeObjectsWidth);
    SpeedWalkLength = ReadInt(ini, "Options", "SpeedWalkLength", d.SpeedWalkLength);
    MaxSpeedWalkLength = ReadInt(ini, "Options", "MaxSpeedWalkLength", d.MaxSpeedWalkLength);
    NeedRepos = ini.ReadBool("Options", "NeedRepos", d.NeedRepos);
    DebugVisible = ini.ReadBool("Options", "DebugVisible", d.DebugVisible);
    SwapUpDown = ini.ReadBool("Options", "SwapUpDown", d.SwapUpDown);
    ReplaceLore = ini.ReadBool("Options", "ReplaceLore", d.ReplaceLore);
    RecordSessions = ini.ReadBool("Options", "RecordSessions", d.RecordSessions);
    DebugActiv = ini.ReadBool("Options", "DebugActiv", d.DebugActiv);
    ShowNote = ini.ReadBool("Options", "ShowNote", d.ShowNote);
    UpdateUrl = ini.ReadString("Options", "UpdateUrl", d.UpdateUrl);
    DownloadUrl = ini.ReadString("Options", "DownloadUrl", d.DownloadUrl);
    NewZone = ini.ReadString("Commands", "NewZone", d.NewZone);
    SetAlias = ini.ReadString("Commands", "SetAlias", d.SetAlias);
    RequestObject = ini.ReadString("Commands", "RequestObject", d.RequestObject);
    World = ini.ReadString("Options", "World", "");
    ShowTopLevel = ini.ReadBool("Options", "ShowTopLevel", d.ShowTopLevel);
    ShowBottomLevel = ini.ReadBool("Options", "ShowBottomLevel", d.ShowBottomLevel);
}

void AppSettings::Write(IniFile& ini, bool windowNormal) const {
    ini.BeginBatch();
    if (windowNormal) {
        if (Top) ini.WriteInteger("Window", "Top", *Top);
        if (Left) ini.WriteInteger("Window", "Left", *Left);
        if (Height) ini.WriteInteger("Window", "Height", *Height);
        if (Width) ini.WriteInteger("Window", "Width", *Width);
    }
    ini.WriteInteger("Options", "ListViewStyle", ListViewStyle);
    ini.WriteInteger("Options", "ScrollMult", ScrollMult);
    ini.WriteBool("Options", "StayOnTop", StayOnTop);
    ini.WriteInteger("Options", "Transparency", Transparency);
    ini.WriteBool("Options", "NoTransparency", NoTransparencyInEffect());
    ini.WriteBool("Options", "CheckUpdates", CheckUpdates);
    ini.WriteInteger("Options", "PanelColor", PanelColor);
    ini.WriteInteger("Options", "PanelBitmap", PanelBitmap);
    ini.WriteBool("Options", "TreeVisible", TreeVisible);
    if (TreeZonesWidth) ini.WriteInteger("Options", "TreeZonesWidth", *TreeZonesWidth);
    if (TreeObjectsWidth) ini.WriteInteger("Options", "TreeObjectsWidth", *TreeObjectsWidth);
    ini.WriteInteger("Options", "SpeedWalkLength", SpeedWalkLength);
    ini.WriteInteger("Options", "MaxSpeedWalkLength", MaxSpeedWalkLength);
    ini.WriteString("Options", "World", World);
    ini.WriteBool("Options", "DebugVisible", DebugVisible);
    ini.WriteBool("Options", "DebugActiv", DebugActiv);
    ini.WriteBool("Options", "NeedRepos", NeedRepos);
    ini.WriteBool("Options", "ShowTopLevel", ShowTopLevel);
    ini.WriteBool("Options", "ShowBottomLevel", ShowBottomLevel);
    ini.WriteBool("Options", "SwapUpDown", SwapUpDown);
    ini.WriteBool("Options", "ReplaceLore", ReplaceLore);
    ini.WriteBool("Options", "RecordSessions", RecordSessions);
    ini.WriteBool("Options", "ShowNote", ShowNote);
    ini.WriteString("Options", "UpdateUrl", UpdateUrl);
    ini.WriteString("Options", "DownloadUrl", DownloadUrl);
    ini.WriteString("Commands", "NewZone", NewZone);
    ini.WriteString("Commands", "SetAlias", SetAlias);
    ini.WriteString("Commands", "RequestObject", RequestObject);
    ini.EndBatch();
}

} // namespace storage
