#pragma once
// The session's answers to what the map and the world operations ask of the program around
// them: the front end for the view, messages and questions, the session for tracing, the
// profile and the settings, the zone tree model for quick-list nodes.

#include "map/MapUi.h"
#include "tracking/ReportTemplate.h"
#include "world/ObjectBase.h"
#include "world/WorldUi.h"
#include "world/ZoneTree.h"

namespace app {

class AppUi;
class Session;

class SessionMapUi : public map::MapUi {
public:
    SessionMapUi(Session& session, AppUi& ui) : session_(session), ui_(ui) {}
    void SetTree(storage::ZoneTree* tree) { tree_ = tree; }

    void Repaint() override;
    void Shift() override;
    void Beep() override;
    std::optional<map::Color> ChooseColor(map::Color initial) override;
    void TracingOff() override;
    map::Color DefaultRoomColor() override;
    map::ScrollPositions ScrollBarPositions() override { return {}; }
    void SetScrollRanges(const map::MapExtents&) override {}
    void RemoveQuickListNodes(const map::TMudRoom2* room) override;
    void SetQuickListNodeImage(const map::TMudRoom2* room, int image) override;

private:
    Session& session_;
    AppUi& ui_;
    storage::ZoneTree* tree_ = nullptr;
};

class SessionWorldUi : public storage::WorldUi {
public:
    SessionWorldUi(Session& session, AppUi& ui) : session_(session), ui_(ui) {}

    void ShowError(const std::string& message) override;
    storage::Answer Ask(const std::string& question, bool withCancel) override;
    std::optional<storage::WorldChoice> ChooseWorld(storage::ChooserMode mode,
                                                    const std::string& name) override;
    void LogError(const std::string& line) override;
    void SetCaption(const std::string& caption) override;
    void TracingOff() override;
    void CenterMap() override;
    void ShowRoom(const map::TMudRoom2& room) override;
    void ReadProfile() override;
    void WriteSettings() override;
    void ClearObjectBase() override;
    void LoadObjectBase() override;
    void SaveObjectBaseIfChanged() override;

private:
    Session& session_;
    AppUi& ui_;
};

// The object base's way to the game and the player: the relay.
class SessionObjectHost : public storage::ObjectBaseHost {
public:
    explicit SessionObjectHost(Session& session) : session_(session) {}
    void SendToClient(const std::string& bytes) override;
    void SendToServer(const std::string& bytes) override;
    bool ServerConnected() const override;

private:
    Session& session_;
};

// Reports captured from the game go into the object base; the notice to the player goes out
// through the relay.
class SessionReportSink : public tracking::ReportSink {
public:
    explicit SessionReportSink(Session& session) : session_(session) {}
    Filed FileReport(const std::string& root, const std::vector<std::string>& titles,
                     const std::vector<std::string>& lines) override;
    void SendToClient(const std::string& bytes) override;

private:
    Session& session_;
};

} // namespace app
