#include "view/map/MapMouse.h"

#include "app/core/Session.h"
#include "text/Cp1251.h"
#include "view/map/MapContextMenu.h"
#include "view/map/MapPage.h"

#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>

namespace view {

namespace {
// Rounds to the nearest integer, halves to the even neighbour (the FPU's default mode).
int RoundEven(double v) {
    return static_cast<int>(std::nearbyint(v));
}
} // namespace

TMapMouse::TMapMouse(app::Session& session, TMapPage& page, TMapContextMenu& menu)
    : session_(session), page_(page), menu_(menu) {}

TMapMouse::~TMapMouse() = default;

GridCell TMapMouse::CellAt(QPointF pos) const {
    const double h = page_.CellSize();
    const TBitmapPanel* panel = page_.PanelMain();
    const TMapView& view = page_.View();
    GridCell c;
    c.Y = RoundEven(pos.x() / h - panel->width() / (2 * h) + view.SB1.position);
    c.X = RoundEven(pos.y() / h - panel->height() / (2 * h) + view.SB2.position);
    return c;
}

map::TMudRoom2* TMapMouse::RoomAt(QPointF pos) const {
    const GridCell c = CellAt(pos);
    map::MapWorld& world = session_.Map().World();
    // Rooms drawn from other levels are never hit.
    return world.FindRoom(c.X, c.Y, world.ViewLevel);
}

void TMapMouse::ShowRoomTexts(const map::TMudRoom2* room) {
    if (!room) room = session_.Map().World().CurrentRoom;
    TMapView& view = page_.View();
    if (view.statusText)
        view.statusText(room ? "[#" + std::to_string(room->Tag) + "] " + room->Hint
                             : std::string());
    if (view.noteText && !view.noteEditing) view.noteText(room ? room->Note : std::string());
}

void TMapMouse::PanelMainMouseMove(QMouseEvent* e) {
    map::MapWorld& world = session_.Map().World();
    TMapView& view = page_.View();
    const QPoint pos = e->position().toPoint();
    const GridCell c = CellAt(e->position());
    map::TMudRoom2* ctx = world.ContextRoom;
    // While a room is dragged it stays the context room wherever the pointer goes.
    if (!(ctx && ctx->X == c.X && ctx->Y == c.Y) && view.windowMode == kNormal)
        world.ContextRoom = ctx = RoomAt(e->position());

    const int h = page_.CellSize();
    const TBitmapPanel* panel = page_.PanelMain();
    QPoint ref = pos;
    if (ctx)
        ref = QPoint(panel->width() / 2 - h / 2 + (ctx->Y - ctx->DY) * h,
                     panel->height() / 2 - h / 2 + (ctx->X - ctx->DX) * h);

    ShowRoomTexts(ctx);
    if (info_ && !(e->modifiers() & Qt::ShiftModifier)) HideInfoWindow();

    if (view.windowMode == kDragging && ctx) {
        // The pointer must leave the room's cell by a quarter cell before the room follows.
        const double dx = pos.x() - ref.x(), dy = pos.y() - ref.y();
        if (dx > 1.25 * h) DragStep(map::East, e->modifiers());
        if (dx < -0.25 * h) DragStep(map::West, e->modifiers());
        if (dy > 1.25 * h) DragStep(map::South, e->modifiers());
        if (dy < -0.25 * h) DragStep(map::North, e->modifiers());
    }

    if ((e->buttons() & Qt::LeftButton) && panning_ == 1 && view.windowMode != kDragging) Pan(pos);
}

void TMapMouse::DragStep(map::Dir d, Qt::KeyboardModifiers mods) {
    map::MapModel& model = session_.Map();
    map::MapWorld& world = model.World();
    TMapView& view = page_.View();
    // A step that added a room or a corridor, or Shift, ended the drag: no second step from
    // the same move.
    if (view.windowMode != kDragging || !world.ContextRoom) return;
    const bool locked = world.ZoneLocked;
    if ((mods & Qt::AltModifier) && !locked) {
        model.Linker().StepTo(d);
        view.windowMode = kNormal;
        page_.Shift();
    } else if ((mods & Qt::ControlModifier) && !locked) {
        model.Linker().MakeLink(d);
        view.windowMode = kNormal;
        page_.Shift();
    } else if (!(mods & Qt::ShiftModifier) && !locked) {
        model.Editor().MoveRoom(d);
        page_.Shift();
    } else if (mods & Qt::ShiftModifier) {
        view.windowMode = kNormal;
    }
}

void TMapMouse::Pan(QPoint pos) {
    TMapView& view = page_.View();
    const int h = page_.CellSize();
    const int mult = std::max(1, session_.Settings().ScrollMult);
    const int sb1 = std::clamp((anchor_.x() - pos.x()) * mult / h + anchorSB1_, view.SB1.min,
                               std::max(view.SB1.min, view.SB1.max));
    const int sb2 = std::clamp((anchor_.y() - pos.y()) * mult / h + anchorSB2_, view.SB2.min,
                               std::max(view.SB2.min, view.SB2.max));
    if (sb1 == view.SB1.position && sb2 == view.SB2.position) return;
    view.SB1.position = sb1;
    view.SB2.position = sb2;
    page_.Shift();
}

void TMapMouse::PanelMainMouseDown(QMouseEvent* e) {
    map::MapWorld& world = session_.Map().World();
    TMapView& view = page_.View();
    if (view.windowMode == kNormal) world.ContextRoom = RoomAt(e->position());
    const QPoint screen = e->globalPosition().toPoint();
    if (view.windowMode == kNormal) view.windowMode = kDragging;
    // Another mode (starting up, just after a speedwalk) lets the press pass.
    if (view.windowMode != kDragging) return;

    map::TMudRoom2* room = world.ContextRoom;
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    switch (e->button()) {
    case Qt::LeftButton:
        if (shift) {
            if (room) ShowInfoWindow(*room, screen);
        } else if (!room) {
            view.windowMode = kNormal;
            panning_ = 1;
            anchor_ = e->position().toPoint();
            anchorSB1_ = view.SB1.position;
            anchorSB2_ = view.SB2.position;
        }
        break; // on a room the mode stays 1: moving the pointer drags it
    case Qt::RightButton:
        if (room) {
            menu_.Popup(room, screen);
        } else {
            view.windowMode = kNormal;
            page_.CenterBox();
        }
        break;
    default:
        break;
    }
}

void TMapMouse::PanelMainMouseUp(QMouseEvent*) {
    HideInfoWindow();
    page_.View().windowMode = kNormal;
    panning_ = 0;
}

void TMapMouse::PanelMainDblClick(QMouseEvent*) {
    if (session_.Map().World().ContextRoom)
        session_.nSpeedWalkClick(app::SpeedwalkSender::nSpeedWalk);
}

void TMapMouse::PanelMainMouseLeave() {
    ShowRoomTexts(nullptr);
}

void TMapMouse::ShowInfoWindow(const map::TMudRoom2& room, QPoint screenPos) {
    HideInfoWindow();
    std::string shown = "#" + std::to_string(room.Tag) + " " + room.Hint + "\n" + room.Description;
    if (!room.Note.empty()) shown += "\n\n" + room.Note;
    QString s = text::ToUnicode(shown);
    s.replace("\r\n", "\n");
    s.replace('\r', '\n');

    // A hint window: above everything, never taking the focus, gone when the button is up.
    info_ = std::make_unique<QLabel>(nullptr, Qt::ToolTip | Qt::FramelessWindowHint |
                                                  Qt::WindowStaysOnTopHint);
    info_->setObjectName("InfoWindow");
    info_->setAttribute(Qt::WA_ShowWithoutActivating);
    info_->setForegroundRole(QPalette::ToolTipText);
    info_->setBackgroundRole(QPalette::ToolTipBase);
    info_->setAutoFillBackground(true);
    info_->setFrameStyle(QFrame::Box | QFrame::Plain);
    info_->setMargin(3);
    info_->setTextFormat(Qt::PlainText);
    info_->setWordWrap(true);
    info_->setText(s);
    const QRect measured =
        QFontMetrics(info_->font()).boundingRect(QRect(0, 0, 600, 100000), Qt::TextWordWrap, s);
    const int frame = 2 * (info_->margin() + info_->frameWidth());
    info_->setGeometry(screenPos.x(), screenPos.y() + 20, measured.width() + frame,
                       measured.height() + 20 + frame);
    info_->show();
}

void TMapMouse::HideInfoWindow() {
    info_.reset();
}

} // namespace view
