#include "view/map/MapContextMenu.h"

#include "app/core/Session.h"
#include "map/LinkLine.h"
#include "text/Cp1251.h"
#include "view/dialogs/PropertyForm.h"
#include "view/map/MapDialogs.h"
#include "view/map/MapPage.h"
#include "view/map/MapPictureMenu.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPixmap>

#include <array>

namespace view {

namespace {

constexpr const char* kSection = "MainForm";
// Direction items are named after their direction, in the direction table's order.
constexpr std::array<const char*, map::kDirCount> kDirNames{"North", "South", "East",
                                                            "West",  "Up",    "Down"};
constexpr std::array<const char*, map::kDirCount> kDirCaptions{
    "... на север", "... на юг", "... на восток", "... на запад", "... вверх", "... вниз"};

QString Escaped(const std::string& cp1251) {
    // A zone name with "&" must not turn into a mnemonic.
    return text::ToUnicode(cp1251).replace('&', "&&");
}

} // namespace

TMapContextMenu::TMapContextMenu(app::Session& session, TMapPage& page)
    : session_(session), page_(page) {
    openMenu = [](QMenu* menu, QPoint at) { menu->popup(at); };
}

TMapContextMenu::~TMapContextMenu() = default;

QMenu* TMapContextMenu::PopupMenu1() {
    if (!menu_) Build();
    return menu_.get();
}

QAction* TMapContextMenu::Item(const std::string& name) {
    PopupMenu1();
    auto it = items_.find(name);
    return it == items_.end() ? nullptr : it->second;
}

QAction* TMapContextMenu::Add(QMenu* menu, const std::string& name, const char* utf8Default,
                              std::function<void()> action) {
    // Keys the language file knows by default keep their own text; the others get ours.
    const std::string caption =
        storage::BuiltinTextOf(kSection, name).empty()
            ? session_.GetCaption(kSection, name, text::FromUnicode(QString::fromUtf8(utf8Default)))
            : session_.GetCaption(kSection, name);
    QAction* a = menu->addAction(text::ToUnicode(caption));
    a->setObjectName(QString::fromStdString(name));
    if (action) connect(a, &QAction::triggered, this, [action = std::move(action)] { action(); });
    items_[name] = a;
    return a;
}

QAction* TMapContextMenu::AddSeparator(QMenu* menu, const std::string& name) {
    QAction* a = menu->addSeparator();
    a->setObjectName(QString::fromStdString(name));
    items_[name] = a;
    return a;
}

QMenu* TMapContextMenu::AddSubmenu(QMenu* menu, const std::string& name, const char* utf8Default) {
    QAction* a = Add(menu, name, utf8Default, nullptr);
    auto* sub = new QMenu(menu);
    sub->setObjectName(QString::fromStdString(name));
    a->setMenu(sub);
    return sub;
}

void TMapContextMenu::AddDirections(QMenu* menu, const std::string& prefix, int count,
                                    bool builtinKeys, std::function<void(int)> action) {
    for (int d = 0; d < count; ++d) {
        const std::string name = prefix + kDirNames[static_cast<std::size_t>(d)];
        // The add-room items have built-in captions of their own; the others share one set.
        const char* def = builtinKeys ? "" : kDirCaptions[static_cast<std::size_t>(d)];
        Add(menu, name, def, [action, d] { action(d); });
    }
}

void TMapContextMenu::Build() {
    menu_ = std::make_unique<QMenu>();
    menu_->setObjectName("PopupMenu1");
    QMenu* m = menu_.get();
    map::MapModel& model = session_.Map();
    auto dir = [](int d) { return static_cast<map::Dir>(d); };
    auto walk = [this](app::SpeedwalkSender s) {
        return [this, s] { session_.nSpeedWalkClick(s); };
    };

    m->setDefaultAction(
        Add(m, "nSpeedWalk", "Спидволк до поля", walk(app::SpeedwalkSender::nSpeedWalk)));
    Add(m, "nSpeedWalkNTD", "Спидволк с разделителями в буфер обмена",
        walk(app::SpeedwalkSender::nSpeedWalkNTD));
    Add(m, "nSpeedWalkNT", "Спидволк без разделителей в буфер обмена",
        walk(app::SpeedwalkSender::nSpeedWalkNT));
    Add(m, "nSelectRoom", "Текущая позиция тут", [this] { SelectRoom(); });
    Add(m, "nAddToQuickList", "Включить в список",
        [this] { session_.QuickList().nAddToQuickListClick(); });
    Add(m, "nRemoveRoom", "Убрать из списка", [this] { session_.QuickList().nRemoveRoomClick(); });
    AddSeparator(m, "N8");
    Add(m, "nEditRoom", "Редактировать поле",
        [this] { EditRoom(session_, page_, page_.window()); });

    QMenu* props = AddSubmenu(m, "nProps", "Свойства поля");
    Add(props, "nColor", "Цвет", [&model] { model.Editor().nPropClick(1); });
    Add(props, "nLastColor", "Цвет", [this] { nLastColorClick(); });
    AddSeparator(props, "N4");
    const std::array<std::pair<const char*, const char*>, 4> marks{{{"nDT", "ДТ"},
                                                                    {"nFlyDT", "Флай ДТ"},
                                                                    {"nAgro", "Агромобская"},
                                                                    {"nNoStep", "Непроходимая"}}};
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const int tag = static_cast<int>(i) + 2;
        Add(props, marks[i].first, marks[i].second, [&model, tag] {
            model.Editor().nPropClick(tag);
        })->setCheckable(true);
    }

    pictures_ = AddSubmenu(m, "nPicture", "Картинка");
    RebuildPictures();

    QMenu* doors = AddSubmenu(m, "nDoor", "Дверь");
    AddDirections(doors, "nDoor", 6, false,
                  [&model, dir](int d) { model.Editor().ToggleDoor(dir(d)); });
    for (const char* n : kDirNames)
        items_["nDoor" + std::string(n)]->setCheckable(true);
    AddSeparator(m, "N11");
    Add(m, "nDeleteRoom", "Удалить поле", [&model] { model.Editor().DeleteRoom(); });
    // On a corridor room the whole corridor goes.
    Add(m, "nDeleteLink", "Удалить коридор", [&model] { model.Editor().DeleteRoom(); });
    QMenu* add = AddSubmenu(m, "nAddRoom", "Добавить поле");
    AddDirections(add, "to", 6, true, [this, &model, dir](int d) {
        model.Linker().StepTo(dir(d));
        page_.Shift();
    });
    QMenu* shift = AddSubmenu(m, "nShiftRoom", "Сдвинуть поле");
    AddDirections(shift, "nMove", 4, false,
                  [&model, dir](int d) { model.Editor().MoveRoom(dir(d)); });
    QMenu* longLink = AddSubmenu(m, "nLong", "Коридор");
    AddDirections(longLink, "nLink", 4, false, [this, &model, dir](int d) {
        model.Linker().MakeLink(dir(d));
        page_.Shift();
    });
    AddSeparator(m, "N9");
    QMenu* newZone = AddSubmenu(m, "nStartNewZone", "Начать новую зону");
    AddDirections(newZone, "nNewZone", 6, false,
                  [this, dir](int d) { session_.ZoneLinks().StartNewZone(dir(d)); });
    QMenu* merge = AddSubmenu(m, "nMerge", "Присоединить зону");
    AddDirections(merge, "nMerge", 6, false,
                  [this, dir](int d) { session_.ZoneLinks().nMergeZone(dir(d)); });
    AddSeparator(m, "nShowZoneDelim");
    for (int i = 1; i <= 4; ++i)
        Add(m, "nShowZone" + std::to_string(i), "Показать зону",
            [this, i] { session_.ZoneLinks().nShowZone1Click(i - 1); });
    Add(m, "nShowZone", "Показать зону", nullptr)->setVisible(false);
    showZoneWord_ = text::ToUnicode(session_.GetCaption(
        kSection, "nShowZoneLink", text::FromUnicode(QString::fromUtf8("Показать"))));
}

void TMapContextMenu::RebuildPictures() {
    if (!pictures_) return; // built with the menu
    FillPictureMenu(pictures_, page_.Skin().Set(0).icons, [this](int tag) { nPictureClick(tag); });
}

void TMapContextMenu::Popup(map::TMudRoom2* room, QPoint screenPos) {
    session_.Map().World().ContextRoom = room;
    PopupMenu1Popup();
    openMenu(menu_.get(), screenPos);
}

void TMapContextMenu::PopupMenu1Popup() {
    QMenu* m = PopupMenu1();
    page_.View().windowMode = kNormal;
    const map::TMudRoom2* r = session_.Map().World().ContextRoom;
    if (!r) return;
    if (r->Pipe) {
        for (QAction* a : m->actions())
            a->setVisible(a == items_["nDeleteLink"]);
        return;
    }
    for (const char* n :
         {"nPicture", "nSelectRoom", "N8", "nEditRoom", "nProps", "N11", "nAddRoom", "nShiftRoom",
          "nLong", "nDoor", "N9", "nStartNewZone", "nMerge", "nDeleteRoom"})
        items_[n]->setVisible(true);
    items_["nDeleteLink"]->setVisible(false);

    const profile::WorldProfile& p = session_.Profile();
    const map::DirectionWords& words = session_.Map().Words();
    bool anyNewZone = false, anyMerge = false;
    for (const map::DirInfo& info : map::kDirs) {
        const std::string n = kDirNames[static_cast<std::size_t>(info.dir)];
        const bool linked = r->Ch(info.dir);
        const int jump = words.HasJump(r, map::Phrase(p, info.dir));
        // A new zone starts through a linked exit without a link line; a zone is joined
        // through a linked exit with one.
        const bool newZone = linked && jump < 0;
        items_["nNewZone" + n]->setVisible(newZone);
        anyNewZone = anyNewZone || newZone;
        QAction* merge = items_["nMerge" + n];
        merge->setVisible(linked && jump >= 0);
        if (linked && jump >= 0) {
            const map::LinkLine line =
                map::LinkLine::Parse(r->AutoMaps[static_cast<std::size_t>(jump)]);
            merge->setText(Escaped("<" + line.zone + "> (" + map::Phrase(p, info.dir) + ")"));
            anyMerge = true;
        }
        items_["to" + n]->setEnabled(!linked);
        if (info.dir != map::Up && info.dir != map::Down) items_["nLink" + n]->setEnabled(!linked);

        const map::ExitState door =
            map::ComputeExitState(r->Exits(), map::ExitWord(p, info.dir), p.AutoexitsIgnoreCase);
        QAction* doorItem = items_["nDoor" + n];
        doorItem->setVisible(door != map::kNoExit);
        doorItem->setChecked(door == map::kDoor);
    }
    items_["nStartNewZone"]->setEnabled(anyNewZone);
    items_["nMerge"]->setEnabled(anyMerge);

    items_["nAddToQuickList"]->setVisible(r->QuickList.empty());
    items_["nRemoveRoom"]->setVisible(!r->QuickList.empty());

    items_["nDT"]->setChecked(r->DT);
    items_["nFlyDT"]->setChecked(r->FlyDT);
    items_["nAgro"]->setChecked(r->Agro);
    items_["nNoStep"]->setChecked(r->NoStep);
    UpdateLastColorSwatch();

    bool anyShowZone = false;
    for (std::size_t i = 0; i < 4; ++i) {
        QAction* item = items_["nShowZone" + std::to_string(i + 1)];
        bool shown = false;
        if (i < r->AutoMaps.size()) {
            const map::LinkLine line = map::LinkLine::Parse(r->AutoMaps[i]);
            shown = !line.zone.empty() && line.RoomNumber() > 0;
            if (shown)
                item->setText(showZoneWord_ + " " +
                              Escaped("<" + line.zone + "> " + line.exit + " #" + line.room));
        }
        item->setVisible(shown);
        anyShowZone = anyShowZone || shown;
    }
    items_["nShowZoneDelim"]->setVisible(anyShowZone);
    items_["nShowZone"]->setVisible(false);

    // No way is searched into a death trap; the player's own room needs none.
    const map::TMudRoom2* here = session_.Map().World().CurrentRoom;
    const bool walkable = !r->DT && here && here != r;
    items_["nSpeedWalk"]->setVisible(walkable && session_.Tracing());
    items_["nSpeedWalkNT"]->setVisible(walkable);
    items_["nSpeedWalkNTD"]->setVisible(walkable);
}

void TMapContextMenu::UpdateLastColorSwatch() {
    QPixmap swatch(25, 14);
    swatch.fill(Qt::transparent);
    QPainter painter(&swatch);
    painter.setPen(Qt::black);
    painter.setBrush(ToQColor(session_.Map().World().LastColor));
    painter.drawRect(0, 0, swatch.width() - 1, swatch.height() - 1);
    items_["nLastColor"]->setIcon(QIcon(swatch));
}

void TMapContextMenu::SelectRoom() {
    map::MapWorld& world = session_.Map().World();
    if (world.CurrentRoom) world.CurrentRoom->Selected = false;
    map::TMudRoom2* room = world.ContextRoom;
    if (room) {
        // A position chosen by hand: tracking would move it again.
        session_.ModeClick(false);
        room->Selected = true;
    }
    world.CurrentRoom = room;
    page_.CenterBox();
}

void TMapContextMenu::nPictureClick(int tag) {
    map::MapWorld& world = session_.Map().World();
    map::TMudRoom2* room = world.ContextRoom;
    if (!room) return;
    room->ImageIndex = tag;
    room->DT = tag == 1;
    room->FlyDT = tag == 2;
    room->Agro = tag == 3;
    room->NoStep = tag == 4;
    world.Saved = false; // else the new picture would be lost with the next load
    if (!room->QuickList.empty())
        world.Ui().SetQuickListNodeImage(room, map::QuickListImage(*room));
    Repaint();
}

void TMapContextMenu::nLastColorClick() {
    map::MapWorld& world = session_.Map().World();
    if (!world.ContextRoom) return;
    world.ContextRoom->BColor = world.LastColor;
    world.Saved = false;
    Repaint();
}

void TMapContextMenu::Repaint() {
    page_.PanelMain()->update();
}

} // namespace view
