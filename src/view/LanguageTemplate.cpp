#include "view/LanguageTemplate.h"

#include "storage/FileSaver.h"
#include "storage/Language.h"
#include "view/AboutForm.h"
#include "view/FindReplaceDialogs.h"
#include "view/MapContextMenu.h"
#include "view/MapPage.h"
#include "view/ObjectPage.h"
#include "view/QuarvelinForm.h"
#include "view/RoomSearch.h"
#include "view/SaveLoadForm.h"

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
