// The main window's side of the settings dialog: opening it, and following what its OK
// changed (background, transparency menu, skin, level keys, panes, switches).

#include "text/Cp1251.h"
#include "view/dialogs/ConfigForm.h"
#include "view/map/MapPage.h"
#include "view/window/NotePanel.h"
#include "view/window/QuarvelinForm.h"

#include <QMenu>
#include <QMessageBox>

namespace view {

void TQuarvelinForm::nConfigClick() {
    struct WindowSide : app::ConfigUi {
        TQuarvelinForm& w;
        explicit WindowSide(TQuarvelinForm& form) : w(form) {}
        void ShowInformation(const std::string& message) override {
            QMessageBox box(QMessageBox::Information, "Quarvelin", text::ToUnicode(message),
                            QMessageBox::Ok, &w);
            box.setWindowModality(Qt::ApplicationModal);
            box.exec();
        }
        void PanelChanged() override {
            w.mapPage_->PanelMain()->ImageIndex = w.session_->Settings().PanelBitmap;
            w.mapPage_->PanelMain()->update();
        }
        void TransparencyMenu(bool enabled) override { w.nTransparency_->setEnabled(enabled); }
        void SkinFileChanged() override { w.ProfileRead(); }
        void SettingsApplied() override {
            w.ApplyLevelShortcuts();
            w.memoNote_->setVisible(w.session_->Settings().ShowNote);
            w.SyncSwitches();
            w.mapPage_->PanelMain()->update();
        }
    };

    TConfigForm form(*session_, *this, this);
    if (form.exec() != QDialog::Accepted) return;
    WindowSide side(*this);
    form.Apply(side);
}

} // namespace view
