#include "view/map/MapPage.h"

#include "app/core/Session.h"
#include "text/Cp1251.h"
#include "view/map/MapContextMenu.h"
#include "view/map/MapDialogs.h"
#include "view/map/MapMouse.h"
#include "view/map/Textures.h"

#include <QGridLayout>

namespace view {

TMapPage::TMapPage(app::Session& session, QWidget* parent)
    : QWidget(parent), session_(session), view_(session.Map().World()),
      painter_(skin_, session.Profile()) {
    panel_ = new TBitmapPanel(this);
    panel_->setObjectName("PanelMain");
    panel_->setMinimumSize(200, 150);
    sb1_ = new QScrollBar(Qt::Horizontal, this);
    sb1_->setObjectName("SB1");
    sb2_ = new QScrollBar(Qt::Vertical, this);
    sb2_->setObjectName("SB2");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addWidget(panel_, 0, 0);
    grid->addWidget(sb2_, 0, 1);
    grid->addWidget(sb1_, 1, 0);

    panel_->OnPaint = [this](QImage& canvas) { PanelMainPaint(canvas); };
    panel_->OnResize = [this] { view_.mShift(); };
    auto scrolled = [this] {
        view_.SB1.position = sb1_->value();
        view_.SB2.position = sb2_->value();
        view_.mShift();
    };
    connect(sb1_, &QScrollBar::valueChanged, this, scrolled);
    connect(sb2_, &QScrollBar::valueChanged, this, scrolled);

    menu_ = std::make_unique<TMapContextMenu>(session, *this);
    mouse_ = std::make_unique<TMapMouse>(session, *this, *menu_);
    panel_->OnMouseDown = [this](QMouseEvent* e) { mouse_->PanelMainMouseDown(e); };
    panel_->OnMouseMove = [this](QMouseEvent* e) { mouse_->PanelMainMouseMove(e); };
    panel_->OnMouseUp = [this](QMouseEvent* e) { mouse_->PanelMainMouseUp(e); };
    panel_->OnDblClick = [this](QMouseEvent* e) { mouse_->PanelMainDblClick(e); };
    panel_->OnMouseLeave = [this] { mouse_->PanelMainMouseLeave(); };

    view_.statusText = [this](const std::string& s) { emit StatusChanged(text::ToUnicode(s)); };
    view_.noteText = [this](const std::string& s) { emit NoteChanged(text::ToUnicode(s)); };
    view_.levelButtons = [this] {
        emit LevelsChanged(view_.LevelUpEnabled(), view_.LevelDownEnabled());
    };
    view_.repaint = [this] {
        SyncScrollBars();
        panel_->repaint();
    };
}

TMapPage::~TMapPage() = default;

void TMapPage::SyncScrollBars() {
    // The bars show the view; moving them by hand moves the view (not the other way round).
    const QSignalBlocker b1(sb1_), b2(sb2_);
    sb1_->setRange(view_.SB1.min, view_.SB1.max);
    sb1_->setValue(view_.SB1.position);
    sb2_->setRange(view_.SB2.min, view_.SB2.max);
    sb2_->setValue(view_.SB2.position);
}

PaintSettings TMapPage::Settings() const {
    const storage::AppSettings& st = session_.Settings();
    PaintSettings ps;
    ps.showTopLevel = st.ShowTopLevel;
    ps.showBottomLevel = st.ShowBottomLevel;
    ps.background = ToQColor(st.PanelColor);
    ps.texture = panel_->ImageIndex;
    ps.textures = &BackgroundTextures();
    // The chooser's first entry draws with set A, any other with set B.
    ps.chooserIndex = session_.Profile().CurrentSkin > 0 ? 1 : 0;
    return ps;
}

void TMapPage::PanelMainPaint(QImage& canvas) {
    map::MapWorld& world = session_.Map().World();
    painter_.Paint(canvas, world.Lists(), world.ViewLevel, Settings());
}

void TMapPage::LoadSkin(int variant) {
    skin_.LoadSkin(session_.World().WorldDir(), session_.Profile().SkinIniFile,
                   variant < 0 ? 0 : variant);
    menu_->RebuildPictures();
    // Each load makes the skin's room colour the last-used colour of the room menu.
    session_.Map().World().LastColor = FromQColor(skin_.DefaultRoomColor());
    panel_->update();
}

void TMapPage::ShowRoom(const map::TMudRoom2& room) {
    view_.SB1.position = room.Y;
    view_.SB2.position = room.X;
    session_.Map().World().ViewLevel = room.L;
    view_.mShift();
}

void TMapPage::CenterClick() {
    map::MapWorld& world = session_.Map().World();
    if (world.CurrentRoom && world.ZoneOf(world.CurrentRoom) != world.CurrentZone) {
        storage::WorldStore& store = session_.World();
        store.ClearZone();
        world.CurrentZone = world.ZoneOf(world.CurrentRoom);
        store.LoadZone();
    }
    view_.CenterBox();
}

} // namespace view
