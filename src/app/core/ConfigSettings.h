#pragma once
// The settings dialog's values without its widgets: what it shows when it opens (taken from the
// settings, the world's profile and the relay), what stops OK, and applying the values in a
// fixed order when it ends with OK. Texts are Windows-1251.

#include "map/MudRoom.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace app {

class Session;

struct ConfigValues {
    // "Соединение": ports and server as typed; none of it is applied while the game
    // connection is open (the dialog then shows them disabled).
    bool connectionOpen = false;
    std::string clientPort, serverName, serverPort;
    bool noDoubleYa = true, addDoubleYa = false, addDoubleYaLor = true;
    bool msdpEnabled = true, gmcpEnabled = true;

    // "Движение". Six-word arrays are in the profile's order: north, south, east, west, up, down.
    std::array<std::string, 6> moveWords;
    std::string sneakwalk, fleewalk, look, stopTrace, clear;

    // "Автоматика": recognition markers as written (with "#$" escapes).
    std::string roomNameStart, roomNameEnd, autoexitStart, autoexitEnd;
    bool usePromptExit = false;
    std::string promptExitStart, promptExitEnd;
    std::array<std::string, 6> exitWords;
    bool autoexitsIgnoreCase = false;
    std::string dark, noExits;
    std::vector<std::string> darkList;

    // "Сообщения"
    std::vector<std::string> cantMove;
    std::string retreat;

    // "Общие"
    map::Color panelColor = 0x808080;
    int texture = -1; // background texture, -1 for the plain colour
    bool noTransparency = true;
    bool transparencyAvailable = false; // the switch can be changed at all
    bool needRepos = true;
    int scrollMultIndex = 1; // 0 "x1" ... 4 "x16"
    bool showTopLevel = true, showBottomLevel = true, swapUpDown = true, showNote = false,
         replaceLore = true, checkUpdates = true, recordSessions = false;
    std::string skinFile;

    // "Следование"
    std::vector<std::string> leaderMove;
    std::array<std::string, 6> leaderWords;
    std::string follow;
    bool followLine = false;

    // "Управление": the step counts as typed (digits only).
    std::string speedwalk, returnwalk, speedWalkLength, maxSpeedWalkLength;
    std::string groupTell, clanTell, setAlias, newZone;

    // "Познание": templates with CR LF line ends.
    std::string stuffTem, stuffSeq, mobTem, mobSeq, requestCommand;
};

// The values in effect now.
ConfigValues FillConfig(Session& session);

// What keeps OK from closing the dialog: a port field that is not a port number (empty, or
// above 65535) while the connection fields are to be applied.
enum class ConfigProblem { None, ClientPort, ServerPort };
ConfigProblem CheckConfig(const ConfigValues& values);

// What applying asks of the window, each at its step.
class ConfigUi {
public:
    virtual ~ConfigUi() = default;
    // An information box (caption "Quarvelin").
    virtual void ShowInformation(const std::string& message) = 0;
    // The map panel takes the settings' texture (step 2) and colour (step 11) and repaints.
    virtual void PanelChanged() {}
    // The transparency menu entry is enabled or not.
    virtual void TransparencyMenu(bool enabled) { (void)enabled; }
    // The skin file changed: the skin is loaded again and the map repainted.
    virtual void SkinFileChanged() {}
    // The level keys are assigned again, and the window's switches and panes follow the
    // settings.
    virtual void SettingsApplied() {}
};

// Applies the values in the dialog's order and writes all settings with the whole profile.
// The server field is cleaned of blanks in `values` as well (it is shown cleaned).
void ApplyConfig(Session& session, ConfigValues& values, ConfigUi& ui);

// ---- Small rules the dialog's fields share ----
// Only the digits 0-9 of a text (the step-count fields drop anything else as it is typed).
std::string DigitsOnly(std::string_view text);
// A port number: digits only, 0 to 65535; nullopt otherwise (an empty field too).
std::optional<int> ParsePort(std::string_view text);
// The radio index of a scroll multiplier: how often it halves before reaching 1 (1 -> 0,
// 2 -> 1, 16 -> 4), kept within the five choices.
int ScrollMultIndex(int mult);
// A step count from its field: an empty field keeps `previous`; then anything below `minimum`
// becomes `fallback`.
int StepCount(std::string_view field, int previous, int minimum, int fallback);
// The lines of a multi-line field (CR LF or LF); a final line break adds no empty line.
std::vector<std::string> MemoLines(std::string_view text);
// Lines joined with CR LF, as a multi-line field shows them.
std::string MemoText(const std::vector<std::string>& lines);
// Any line break (CR LF or LF) written as CR LF.
std::string WithCrLf(std::string_view text);

} // namespace app
