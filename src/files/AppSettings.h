#pragma once
// Application-wide settings "quarvelin.ini" in the data directory.

#include <optional>
#include <string>

namespace storage {

class IniFile;

struct AppSettings {
    // [Window]; absent keys leave the window where it is.
    std::optional<int> Top, Left, Height, Width;
    // [Options]
    int ListViewStyle = 1;
    int ScrollMult = 2;
    bool StayOnTop = false;
    int Transparency = 0;
    bool NoTransparency = false; // as read; the value in effect is always true on this platform
    bool CheckUpdates = true;
    int PanelColor = 0x808080;
    int PanelBitmap = 0;
    bool TreeVisible = true;
    std::optional<int> TreeZonesWidth, TreeObjectsWidth;
    int SpeedWalkLength = 10;
    int MaxSpeedWalkLength = 100;
    std::string World;
    bool DebugVisible = false;
    bool DebugActiv = false;
    bool NeedRepos = true;
    bool ShowTopLevel = true;
    bool ShowBottomLevel = true;
    bool SwapUpDown = true;
    bool ReplaceLore = true;
    bool ShowNote = false;
    // Every session is recorded to a file named by its date in the world's directory.
    bool RecordSessions = false;
    // The update check: the address of a text file holding the newest version's text (empty:
    // no check over the network), and the page the player is sent to for a newer version.
    std::string UpdateUrl;
    std::string DownloadUrl;
    // [Commands]
    std::string NewZone = "\xED\xE7";           // нз
    std::string SetAlias = "\xED\xE0\xE0";      // наа
    std::string RequestObject = "\xEB\xEE\xF0"; // лор

    // Window transparency exists only on systems this program does not run on, so the
    // switch is always in effect (and written back as such).
    static constexpr bool kTransparencyAvailable = false;
    bool NoTransparencyInEffect() const { return NoTransparency || !kTransparencyAvailable; }

    void Read(const IniFile& ini);
    // `windowNormal`: the Window keys are written only when the window is neither
    // minimised nor maximised (or when there is no window: the keys then keep their values).
    void Write(IniFile& ini, bool windowNormal) const;
};

} // namespace storage
