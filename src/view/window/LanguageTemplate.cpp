#include "view/window/LanguageTemplate.h"

#include "files/FileSaver.h"
#include "files/Language.h"
#include "map/MapModel.h"
#include "view/dialogs/AboutForm.h"
#include "view/dialogs/AutomapForm.h"
#include "view/dialogs/ConfigForm.h"
#include "view/dialogs/ExitWizardForm.h"
#include "view/dialogs/LearnProfileForm.h"
#include "view/dialogs/PropertyForm.h"
#include "view/dialogs/SaveLoadForm.h"
#include "view/map/MapContextMenu.h"
#include "view/map/MapPage.h"
#include "view/objects/FindReplaceDialogs.h"
#include "view/objects/ObjectPage.h"
#include "view/window/QuarvelinForm.h"
#include "view/window/RoomSearch.h"
#include "view/window/ZoneTreeMenu.h"

#include <QInputDialog>
#include <QMenu>
#include <QTemporaryDir>
#include <cstdio>

namespace view {

void OpenEveryWindow(TQuarvelinForm& form, const std::function<void(QWidget&)>& visit) {
    auto see = [&visit](QWidget* w) {
        if (w && visit) visit(*w);
    };
    app::Session& session = form.Session();

    // The main window with its menus, the zone tree's menu, the pages and their panes.
    see(&form);
    see(form.MapPage()->ContextMenu().PopupMenu1());
    see(form.ObjectPage()->Menu());
    // The zone tree's menu as a zone shows it, and the dialog of its bind item.
    if (storage::ZoneTreeNode* zone = session.World().Tree().FindZone(session.ZoneName())) {
        session.World().Tree().Select(zone);
        form.ZoneTreeMenu()->PopupMenu2Popup();
        see(form.ZoneTreeMenu()->PopupMenu2());
        std::unique_ptr<QInputDialog> bind = form.ZoneTreeMenu()->MakeBindDialog(zone->text);
        see(bind.get());
    }

    // The find dialogs: the room search and the object page's find and replace.
    form.RoomSearch()->Open(storage::SearchField::Name);
    see(form.RoomSearch()->FindDialog2());
    form.RoomSearch()->FindDialog2()->hide();
    form.ObjectPage()->tbSearchClick();
    see(form.ObjectPage()->FindDialog());
    form.ObjectPage()->FindDialog()->hide();
    form.ObjectPage()->tbReplaceClick();
    see(form.ObjectPage()->ReplaceDialog());
    form.ObjectPage()->ReplaceDialog()->hide();

    // The world chooser in each of its modes; its view setting is left as it is.
    for (storage::ChooserMode mode :
         {storage::ChooserMode::Load, storage::ChooserMode::Save, storage::ChooserMode::Create}) {
        int style = session.Settings().ListViewStyle;
        storage::WorldStore& world = session.World();
        TSaveLoadForm chooser(
            session.Texts(), style, world.MapsDir(),
            world.WorldName().empty() ? std::filesystem::path() : world.WorldDir(), &form);
        chooser.SetMode(mode, world.WorldName());
        see(&chooser);
    }

    {
        TAboutForm about(session.Texts(), session.Settings(), &form);
        see(&about);
    }

    // The settings with the exit-word wizard, and the link dialog.
    {
        TConfigForm config(session, form, &form);
        see(&config);
        TExitWizardForm wizard(session.Texts(), session.Profile().ExitWords, form, &form);
        see(&wizard);
        TAutomapForm automap(session.Texts(), session.Profile(), {}, &form);
        see(&automap);
        // The proposal of nothing learnt looks up every text it may show.
        TLearnProfileForm learn(session.Texts(), session.Profile(), {}, &form);
        see(&learn);
    }

    // The room properties need a room: one is made for the moment (in a zone of its own when
    // none is open) and destroyed again.
    {
        map::MapWorld& world = session.Map().World();
        const std::string zone = world.CurrentZone;
        if (zone.empty()) {
            std::string name = "Template";
            world.CurrentZone.swap(name);
        }
        const bool saved = world.Saved;
        map::TMudRoom2* room = session.Map().Linker().NewRoomAt(
            world.Extents.MaxX + 2, world.Extents.MaxY + 2, world.ViewLevel, "", "", "");
        {
            TPropertyForm properties(session, *form.MapPage(), *room, &form);
            see(&properties);
        }
        world.DestroyRoom(room);
        world.Saved = saved;
        world.CurrentZone = zone;
    }

    // Messages are looked up when they are shown; the template lists them all.
    for (const storage::BuiltinText& t : storage::BuiltinMessages())
        session.GetCaption(t.section, t.key);
}

int WriteLanguageTemplate(const std::filesystem::path& out) {
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "quarvelin: cannot create a temporary directory\n");
        return 1;
    }
    const std::filesystem::path dataDir = dir.path().toStdString();
    std::string bytes;
    {
        TQuarvelinForm form(app::Session::Options{dataDir, {}, false});
        OpenEveryWindow(form);
        if (!storage::ReadFile(form.Session().Paths().LanguageFile(), bytes)) {
            std::fprintf(stderr, "quarvelin: no language file was written\n");
            return 1;
        }
    }
    const storage::SaveResult saved = storage::SaveFile(out, bytes, true);
    if (!saved.ok) {
        std::fprintf(stderr, "quarvelin: %s\n", saved.error.c_str());
        return 1;
    }
    return 0;
}

} // namespace view
