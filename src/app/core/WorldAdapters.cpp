#include "app/core/WorldAdapters.h"

#include "app/core/AppUi.h"
#include "app/core/Session.h"

namespace app {

void SessionMapUi::Repaint() {
    ui_.Repaint();
}

map::Color SessionMapUi::DefaultRoomColor() {
    return ui_.DefaultRoomColor();
}

void SessionMapUi::Shift() {
    ui_.Shift();
}

void SessionMapUi::Beep() {
    ui_.Beep();
}

std::optional<map::Color> SessionMapUi::ChooseColor(map::Color initial) {
    return ui_.ChooseColor(initial);
}

void SessionMapUi::TracingOff() {
    session_.ModeClick(false); // which also forgets the player's room
}

void SessionMapUi::RemoveQuickListNodes(const map::TMudRoom2* room) {
    // Whichever zone is current: a zone split destroys rooms of the old zone after the new one
    // became current, and a node left behind would point at freed memory.
    if (tree_) tree_->RemoveQuickListNodes(room);
}

void SessionMapUi::SetQuickListNodeImage(const map::TMudRoom2* room, int image) {
    if (tree_) tree_->SetQuickListNodeImage(room, image);
}

void SessionWorldUi::ShowError(const std::string& message) {
    ui_.ShowError(message);
}

storage::Answer SessionWorldUi::Ask(const std::string& question, bool withCancel) {
    return ui_.Ask(question, withCancel);
}

std::optional<storage::WorldChoice> SessionWorldUi::ChooseWorld(storage::ChooserMode mode,
                                                                const std::string& name) {
    return ui_.ChooseWorld(mode, name);
}

void SessionWorldUi::LogError(const std::string& line) {
    session_.Log().ELine(line);
}

void SessionWorldUi::SetCaption(const std::string& caption) {
    ui_.SetCaption(caption);
}

void SessionWorldUi::TracingOff() {
    session_.ModeClick(false); // which also forgets the player's room
}

void SessionWorldUi::CenterMap() {
    ui_.CenterBox();
}

void SessionWorldUi::ShowRoom(const map::TMudRoom2& room) {
    ui_.ShowRoom(room);
}

void SessionWorldUi::ReadProfile() {
    session_.ReadIniFile();
}

void SessionWorldUi::WriteSettings() {
    session_.WriteIniFile(false);
}

void SessionWorldUi::ClearObjectBase() {
    session_.Objects().Clear();
}

void SessionWorldUi::LoadObjectBase() {
    session_.Objects().SetFile(session_.ObjectsFile());
    session_.Objects().tbDiscardClick();
}

void SessionWorldUi::SaveObjectBaseIfChanged() {
    // The world may have been saved under another name since it was loaded.
    session_.Objects().SetFile(session_.ObjectsFile());
    session_.Objects().SaveIfChanged();
}

void SessionObjectHost::SendToClient(const std::string& bytes) {
    session_.Relay().SendToClient(bytes);
}

void SessionObjectHost::SendToServer(const std::string& bytes) {
    session_.Relay().SendToServer(bytes);
}

bool SessionObjectHost::ServerConnected() const {
    return session_.Relay().ServerConnected();
}

} // namespace app

namespace app {

tracking::ReportSink::Filed SessionReportSink::FileReport(const std::string& root,
                                                          const std::vector<std::string>& titles,
                                                          const std::vector<std::string>& lines) {
    auto [name, replaced] = session_.Objects().FileReport(root, titles, lines);
    return {name, replaced};
}

void SessionReportSink::SendToClient(const std::string& bytes) {
    session_.Relay().SendToClient(bytes);
}

} // namespace app
