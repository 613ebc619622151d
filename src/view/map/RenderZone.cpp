#include "view/map/RenderZone.h"

#include "files/AppSettings.h"
#include "files/IniFile.h"
#include "files/Language.h"
#include "files/Paths.h"
#include "files/ProfileFile.h"
#include "map/MapModel.h"
#include "profile/WorldProfile.h"
#include "text/Cp1251.h"
#include "view/map/MapPainter.h"
#include "view/map/MapView.h"
#include "view/map/Skin.h"
#include "world/WorldStore.h"

#include <QImage>

#include <cstdio>

namespace view {

namespace {

// The world store's questions have no one to answer them here; errors go to standard error.
class QuietWorldUi : public storage::WorldUi {
public:
    QuietWorldUi(storage::WorldStore*& store, profile::WorldProfile& profile)
        : store_(store), profile_(profile) {}
    void ShowError(const std::string& m) override { Print(m); }
    storage::Answer Ask(const std::string&, bool c) override {
        return c ? storage::Answer::Cancel : storage::Answer::No;
    }
    std::optional<storage::WorldChoice> ChooseWorld(storage::ChooserMode,
                                                    const std::string&) override {
        return std::nullopt;
    }
    void LogError(const std::string& line) override { Print(line); }
    void SetCaption(const std::string&) override {}
    void TracingOff() override {}
    void CenterMap() override {}
    void ShowRoom(const map::TMudRoom2&) override {}
    void ReadProfile() override {
        storage::ReadProfile(
            profile_, storage::IniFile(storage::FindIgnoreCase(store_->WorldDir(), "local.ini")));
    }
    void WriteSettings() override {} // a picture changes nothing on disk

    static void Print(const std::string& cp1251) {
        std::fprintf(stderr, "quarvelin: %s\n", text::ToUnicode(cp1251).toUtf8().constData());
    }

private:
    storage::WorldStore*& store_;
    profile::WorldProfile& profile_;
};

} // namespace

int RenderZone(const RenderRequest& rq) {
    profile::WorldProfile profile;
    map::NullMapUi mapUi;
    map::MapModel model(profile, mapUi);
    storage::Language language(rq.dataDir / "language.ini");
    storage::WorldStore* storePtr = nullptr;
    QuietWorldUi ui(storePtr, profile);
    storage::WorldStore store(model, profile, language, ui, rq.dataDir, "render");
    storePtr = &store;
    store.SetWorldName(rq.world);
    store.LoadWorld();
    if (store.WorldName().empty()) return 1;
    if (!store.Tree().FindZone(rq.zone)) {
        QuietWorldUi::Print("no zone <" + rq.zone + "> in the world <" + rq.world + ">");
        return 1;
    }
    map::MapWorld& world = model.World();
    if (world.CurrentZone != rq.zone) {
        store.ClearZone();
        world.CurrentZone = rq.zone;
        store.LoadZone();
    }
    world.CurrentRoom = nullptr;

    TSkin skin;
    skin.LoadSkin(store.WorldDir(), profile.SkinIniFile, 0);
    storage::AppSettings settings;
    settings.Read(storage::IniFile(rq.dataDir / "quarvelin.ini"));

    TMapView view(world);
    view.windowMode = kNormal;
    view.CenterBox();
    world.ViewLevel = rq.level;
    view.mShift();

    // The whole zone fits, with a cell of margin around it and room for the level shift.
    const int h = skin.Set(0).cell;
    const int cols = view.bounds.MaxY - view.bounds.MinY + 1;
    const int rows = view.bounds.MaxX - view.bounds.MinX + 1;
    // Centre exactly between the zone's edges: an even span needs a half cell more.
    QImage canvas((cols + 2) * h + (cols % 2 == 0 ? h : 0),
                  (rows + 2) * h + (rows % 2 == 0 ? h : 0), QImage::Format_ARGB32_Premultiplied);
    PaintSettings ps;
    ps.showTopLevel = settings.ShowTopLevel;
    ps.showBottomLevel = settings.ShowBottomLevel;
    ps.background = QColor(settings.PanelColor & 0xFF, (settings.PanelColor >> 8) & 0xFF,
                           (settings.PanelColor >> 16) & 0xFF);
    TMapPainter painter(skin, profile);
    painter.Paint(canvas, world.Lists(), rq.level, ps);
    if (!canvas.save(QString::fromStdString(rq.out.string()), "PNG")) {
        QuietWorldUi::Print("cannot write " + storage::PathToText(rq.out));
        return 1;
    }
    return 0;
}

} // namespace view
