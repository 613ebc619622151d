#include "app/core/Speedwalker.h"

#include "files/AppSettings.h"
#include "map/Speedwalk.h"
#include "profile/WorldProfile.h"
#include "relay/DebugLog.h"
#include "text/Cp1251.h"
#include "text/Text.h"

namespace app {

namespace {
// "Спидволк сюда невозможен."
constexpr char kUnableDefault[] =
    "\xD1\xEF\xE8\xE4\xE2\xEE\xEB\xEA \xF1\xFE\xE4\xE0 \xED\xE5\xE2\xEE\xE7\xEC\xEE\xE6\xE5\xED.";
constexpr char kUnableNotice[] =
    "\r\n\x1b[1;33m<Quarvelin> : Speedwalk \x1b[1;32munabled\x1b[0m\r\n";

// The debug log is quiet while a search runs: it would log nothing useful, only slowly.
class QuietLog {
public:
    explicit QuietLog(relay::DebugLog& log) : log_(log), was_(log.DebugActiv) {
        log_.DebugActiv = false;
    }
    ~QuietLog() { log_.DebugActiv = was_; }
    QuietLog(const QuietLog&) = delete;
    QuietLog& operator=(const QuietLog&) = delete;

private:
    relay::DebugLog& log_;
    bool was_;
};
} // namespace

SpeedwalkSender SenderFor(TreeSpeedwalkItem item) {
    switch (item) {
    case TreeSpeedwalkItem::nnSpeedWalk:
        return SpeedwalkSender::nSpeedWalk;
    case TreeSpeedwalkItem::nnSpeedWalkNT:
        return SpeedwalkSender::nSpeedWalkNT;
    case TreeSpeedwalkItem::nnSpeedWalkNTD:
        break;
    }
    return SpeedwalkSender::nSpeedWalkNTD;
}

int Speedwalker::BurstLength() const {
    return settings_.SpeedWalkLength < 1 ? 5 : settings_.SpeedWalkLength;
}

void Speedwalker::nSpeedWalkClick(SpeedwalkSender sender) {
    host_.SetWindowMode(2);
    QuietLog quiet(log_);
    map::MapWorld& world = map_.World();
    map::TMudRoom2* from = world.CurrentRoom;
    map::TMudRoom2* to = world.ContextRoom;
    if (!from || !to || from == to || to->DT) return;

    map::SpeedwalkSearch search(world, map_.Words());
    const std::optional<std::string> way = search.FindWay(from, to, settings_.MaxSpeedWalkLength);
    if (!way) {
        const std::string message = host_.Caption("MainForm", "SpeedwalkUnabled", kUnableDefault);
        if (host_.Tracing())
            host_.SendToClient(kUnableNotice);
        else
            host_.ShowStop(message);
        return;
    }
    switch (sender) {
    case SpeedwalkSender::nSpeedWalkNT:
        host_.SetClipboard(text::ReplaceAll(*way, ";", ""));
        return;
    case SpeedwalkSender::nSpeedWalkNTD:
        host_.SetClipboard(*way);
        return;
    case SpeedwalkSender::nSpeedWalk:
    case SpeedwalkSender::MainWindow:
        break;
    }
    if (!host_.Tracing()) return;
    world.ReturnRoom = from;
    queue_.clear();
    std::size_t start = 0;
    for (;;) {
        const std::size_t semi = way->find(';', start);
        queue_.push_back(text::Trim(std::string_view(*way).substr(
            start, semi == std::string::npos ? std::string::npos : semi - start)));
        if (semi == std::string::npos) break;
        start = semi + 1;
    }
    SendBurst();
}

void Speedwalker::SendBurst() {
    std::string burst;
    for (int taken = 0; taken < BurstLength() && !queue_.empty(); ++taken) {
        tracking_.CommandQueue.push_back(queue_.front());
        burst += queue_.front() + ";";
        queue_.pop_front();
    }
    log_.DLine(text::W("Спидволк: отправлено ") + burst);
    // The letter "я" is the telnet IAC byte: the game must receive it doubled.
    host_.SendToServer(text::ReplaceAll(text::ReplaceAll(burst, ";", "\r\n"), "\xFF", "\xFF\xFF"));
    const bool doubleYa = map_.World().Profile().AddDoubleYa;
    host_.SendToClient("\r\n\x1b[1;33m<Quarvelin> : Speedwalk sent: \r\n\x1b[1;32m" +
                       (doubleYa ? text::ReplaceAll(burst, "\xFF", "\xFF\xFF") : burst) +
                       "\x1b[0m\r\n");
}

} // namespace app
