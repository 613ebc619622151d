#include "app/core/ConfigSettings.h"

#include "app/core/Session.h"

#include <algorithm>
#include <charconv>

namespace app {

std::string DigitsOnly(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c >= '0' && c <= '9') out.push_back(c);
    return out;
}

std::optional<int> ParsePort(std::string_view text) {
    if (text.empty() || DigitsOnly(text).size() != text.size()) return std::nullopt;
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value > 65535) return std::nullopt;
    return value;
}

int ScrollMultIndex(int mult) {
    int halvings = 0;
    while (mult > 1 && halvings < 4) {
        mult /= 2;
        ++halvings;
    }
    return halvings;
}

int StepCount(std::string_view field, int previous, int minimum, int fallback) {
    int value = previous;
    if (!field.empty()) {
        int read = 0;
        auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), read);
        if (ec == std::errc() && end == field.data() + field.size()) value = read;
    }
    return value < minimum ? fallback : value;
}

std::vector<std::string> MemoLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t eol = text.find('\n', start);
        std::string_view line =
            text.substr(start, eol == std::string_view::npos ? eol : eol - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        if (eol == std::string_view::npos) break;
        start = eol + 1;
    }
    return lines;
}

std::string MemoText(const std::vector<std::string>& lines) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) out += "\r\n";
        out += lines[i];
    }
    return out;
}

std::string WithCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

namespace {
std::string WithoutBlanks(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c != ' ' && c != '\t') out.push_back(c);
    return out;
}
} // namespace

ConfigValues FillConfig(Session& session) {
    const storage::AppSettings& st = session.Settings();
    const profile::WorldProfile& p = session.Profile();
    const relay::Relay& relay = session.Relay();
    ConfigValues v;

    v.connectionOpen = relay.ServerConnected();
    v.clientPort = std::to_string(relay.ListenPort());
    v.serverName = relay.ServerNameForProfile();
    v.serverPort = std::to_string(relay.ServerPort());
    v.noDoubleYa = p.NoDoubleYa;
    v.addDoubleYa = p.AddDoubleYa;
    v.addDoubleYaLor = p.AddDoubleYaLor;
    v.msdpEnabled = p.MsdpEnabled;
    v.gmcpEnabled = p.GmcpEnabled;

    v.moveWords = p.MoveWords;
    v.sneakwalk = p.Sneakwalk;
    v.fleewalk = p.Fleewalk;
    v.look = p.Look;
    v.stopTrace = p.StopTrace;
    v.clear = p.Clear;

    v.roomNameStart = p.RoomNameStart;
    v.roomNameEnd = p.RoomNameEnd;
    v.autoexitStart = p.AutoexitStart;
    v.autoexitEnd = p.AutoexitEnd;
    v.usePromptExit = p.UsePromptExit;
    v.promptExitStart = p.PromptExitStart;
    v.promptExitEnd = p.PromptExitEnd;
    v.exitWords = p.ExitWords;
    v.autoexitsIgnoreCase = p.AutoexitsIgnoreCase;
    v.dark = p.Dark;
    v.noExits = p.NoExits;
    v.darkList = p.DarkList;

    v.cantMove = p.CantMove;
    v.retreat = p.Retreat;

    v.panelColor = st.PanelColor;
    v.texture = st.PanelBitmap;
    v.noTransparency = st.NoTransparencyInEffect();
    v.transparencyAvailable = storage::AppSettings::kTransparencyAvailable;
    v.needRepos = st.NeedRepos;
    v.scrollMultIndex = ScrollMultIndex(st.ScrollMult);
    v.showTopLevel = st.ShowTopLevel;
    v.showBottomLevel = st.ShowBottomLevel;
    v.swapUpDown = st.SwapUpDown;
    v.showNote = st.ShowNote;
    v.replaceLore = st.ReplaceLore;
    v.recordSessions = st.RecordSessions;
    v.checkUpdates = st.CheckUpdates;
    v.skinFile = p.SkinIniFile;

    v.leaderMove = p.LeaderMove;
    v.leaderWords = p.LeaderWords;
    v.follow = p.Follow;
    v.followLine = p.FollowLine;

    v.speedwalk = p.Speedwalk;
    v.returnwalk = p.Returnwalk;
    v.speedWalkLength = std::to_string(st.SpeedWalkLength);
    v.maxSpeedWalkLength = std::to_string(st.MaxSpeedWalkLength);
    v.groupTell = p.GroupTell;
    v.clanTell = p.ClanTell;
    v.setAlias = st.SetAlias;
    v.newZone = st.NewZone;

    v.stuffTem = p.StuffTem;
    v.stuffSeq = p.StuffSeq;
    v.mobTem = p.MobTem;
    v.mobSeq = p.MobSeq;
    v.requestCommand = st.RequestObject;
    return v;
}

ConfigProblem CheckConfig(const ConfigValues& v) {
    if (v.connectionOpen) return ConfigProblem::None;
    if (!ParsePort(v.clientPort)) return ConfigProblem::ClientPort;
    if (!ParsePort(v.serverPort)) return ConfigProblem::ServerPort;
    return ConfigProblem::None;
}

void ApplyConfig(Session& session, ConfigValues& v, ConfigUi& ui) {
    storage::AppSettings& st = session.Settings();
    profile::WorldProfile& p = session.Profile();
    relay::Relay& relay = session.Relay();

    // 1. The connection, only while the game connection is closed (an open one would be cut).
    if (!relay.ServerConnected()) {
        relay.DeactivateListener();
        relay.SetListenPort(ParsePort(v.clientPort).value_or(relay.ListenPort()));
        v.serverName = WithoutBlanks(v.serverName);
        relay.SetServer(v.serverName, ParsePort(v.serverPort).value_or(relay.ServerPort()));
        relay.ActivateListener();
    }

    // 2. The background texture.
    st.PanelBitmap = v.texture;
    ui.PanelChanged();

    // 3. Switches.
    p.NoDoubleYa = v.noDoubleYa;
    p.AddDoubleYa = v.addDoubleYa;
    p.AddDoubleYaLor = v.addDoubleYaLor;
    p.MsdpEnabled = v.msdpEnabled;
    p.GmcpEnabled = v.gmcpEnabled;
    p.UsePromptExit = v.usePromptExit;
    p.AutoexitsIgnoreCase = v.autoexitsIgnoreCase;
    p.FollowLine = v.followLine;
    st.NeedRepos = v.needRepos;
    st.ShowTopLevel = v.showTopLevel;
    st.ShowBottomLevel = v.showBottomLevel;
    st.SwapUpDown = v.swapUpDown;
    st.ShowNote = v.showNote;
    st.ReplaceLore = v.replaceLore;
    st.CheckUpdates = v.checkUpdates;
    session.Objects().replaceLore = v.replaceLore;
    st.RecordSessions = v.recordSessions;
    session.UpdateRecording();

    // 4. Transparency: switching it back on takes a restart, which the user is told.
    const bool wasOff = st.NoTransparencyInEffect();
    if (v.noTransparency != wasOff && !wasOff)
        ui.ShowInformation(session.GetCaption("MainForm", "TransparencyWillTurnedOn"));
    st.NoTransparency = v.noTransparency;
    ui.TransparencyMenu(!st.NoTransparencyInEffect());

    // 5. Scrolling speed.
    st.ScrollMult = 1 << std::clamp(v.scrollMultIndex, 0, 4);

    // 6. Words and texts, as typed.
    p.MoveWords = v.moveWords;
    p.Sneakwalk = v.sneakwalk;
    p.Fleewalk = v.fleewalk;
    p.Look = v.look;
    p.StopTrace = v.stopTrace;
    p.Clear = v.clear;
    p.RoomNameStart = v.roomNameStart;
    p.RoomNameEnd = v.roomNameEnd;
    p.AutoexitStart = v.autoexitStart;
    p.AutoexitEnd = v.autoexitEnd;
    p.PromptExitStart = v.promptExitStart;
    p.PromptExitEnd = v.promptExitEnd;
    p.ExitWords = v.exitWords;
    p.Dark = v.dark;
    p.NoExits = v.noExits;
    p.Retreat = v.retreat;
    p.LeaderWords = v.leaderWords;
    p.Follow = v.follow;
    p.Speedwalk = v.speedwalk;
    p.Returnwalk = v.returnwalk;
    p.GroupTell = v.groupTell;
    p.ClanTell = v.clanTell;
    st.SetAlias = v.setAlias;
    st.NewZone = v.newZone;
    st.RequestObject = v.requestCommand;
    p.RequestCommand = v.requestCommand;

    // 7. Step counts: an emptied field keeps its value; nonsense becomes a usable count.
    st.SpeedWalkLength = StepCount(v.speedWalkLength, st.SpeedWalkLength, 1, 5);
    st.MaxSpeedWalkLength = StepCount(v.maxSpeedWalkLength, st.MaxSpeedWalkLength, 10, 10);

    // 8. Report templates.
    p.StuffTem = WithCrLf(v.stuffTem);
    p.StuffSeq = v.stuffSeq;
    p.MobTem = WithCrLf(v.mobTem);
    p.MobSeq = v.mobSeq;

    // 9. The markers recognition compares against.
    p.DecodeMarkers();

    // 10. Lists.
    p.LeaderMove = v.leaderMove;
    p.CantMove = v.cantMove;
    p.DarkList = v.darkList;

    // 11. The background colour.
    st.PanelColor = v.panelColor;
    ui.PanelChanged();

    // 12. Another skin file is loaded at once.
    if (v.skinFile != p.SkinIniFile) {
        p.SkinIniFile = v.skinFile;
        ui.SkinFileChanged();
    }

    // 13, 14.
    session.WriteIniFile(true);
    ui.SettingsApplied();
}

} // namespace app
