// The link dialog's enabling rules on its widgets, and the captions of both room dialogs: every
// key written into the language file, replaced texts shown, nothing cut off.

#include "property_form_fixture.h"

#include "files/IniFile.h"
#include "profile/WorldProfile.h"
#include "view/dialogs/AutomapForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QValidator>

#include <cstdlib>

namespace {

const profile::WorldProfile kProfile;

std::string Phrase(map::Dir d) {
    return map::Phrase(kProfile, d);
}

bool Accepts(QLineEdit* edit, QString text) {
    int pos = 0;
    return text.size() <= edit->maxLength() &&
           edit->validator()->validate(text, pos) == QValidator::Acceptable;
}

// Every label, button and box shows its whole caption.
void ExpectNothingCutOff(QWidget* window) {
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible() || !(qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w)))
            continue;
        if (auto* l = qobject_cast<QLabel*>(w); l && l->wordWrap()) continue;
        EXPECT_GE(w->width(), w->minimumSizeHint().width()) << w->objectName().toStdString();
        EXPECT_GE(w->height(), w->minimumSizeHint().height()) << w->objectName().toStdString();
    }
}

// With QUARVELIN_SHOTS set to a directory, the dialogs are also saved as pictures there.
void Shot(QWidget* w, const char* name) {
    if (const char* dir = std::getenv("QUARVELIN_SHOTS"))
        w->grab().save(QString::fromLocal8Bit(dir) + "/" + name + ".png");
}

} // namespace

TEST_F(DialogWorld, TheLinkDialogEnablesWhatTheExitZoneAndCommandAllow) {
    storage::Language texts(dir / "language.ini");
    view::TAutomapForm form(texts, kProfile, {"Town", "There"});
    EXPECT_FALSE(form.EditSendTrigger()->isEnabled());
    EXPECT_FALSE(form.LblSendTrigger()->isEnabled());
    EXPECT_FALSE(form.BtnOk()->isEnabled());
    EXPECT_TRUE(form.CheckBoxSendMove()->isChecked());
    EXPECT_EQ(form.ComboBoxExit()->count(), 6);
    EXPECT_EQ(form.ComboBoxMap()->itemText(1), "There");

    // A direction: a command may go with it; OK wants a zone or a command.
    form.ComboBoxExit()->setCurrentIndex(3);
    EXPECT_EQ(form.Values().exit, Phrase(map::East));
    EXPECT_TRUE(form.EditSendTrigger()->isEnabled());
    EXPECT_TRUE(form.LblSendTrigger()->isEnabled());
    EXPECT_FALSE(form.BtnOk()->isEnabled());
    EXPECT_FALSE(form.CheckBoxSendMove()->isEnabled());
    form.EditSendTrigger()->setText("open");
    EXPECT_TRUE(form.BtnOk()->isEnabled());
    EXPECT_TRUE(form.CheckBoxSendMove()->isEnabled());
    form.CheckBoxSendMove()->setChecked(false);
    form.EditSendTrigger()->clear(); // no command: the movement is sent again
    EXPECT_TRUE(form.CheckBoxSendMove()->isChecked());
    EXPECT_FALSE(form.CheckBoxSendMove()->isEnabled());
    EXPECT_FALSE(form.BtnOk()->isEnabled());
    form.ComboBoxMap()->setCurrentText("There");
    EXPECT_TRUE(form.BtnOk()->isEnabled());

    // An exit that is no direction carries no command, even one typed before.
    form.EditSendTrigger()->setText("open");
    form.ComboBoxExit()->setCurrentText("portal");
    EXPECT_FALSE(form.EditSendTrigger()->isEnabled());
    EXPECT_TRUE(form.BtnOk()->isEnabled());
    EXPECT_EQ(form.Values().command, "");
    form.ComboBoxMap()->setCurrentText("");
    EXPECT_FALSE(form.BtnOk()->isEnabled());

    // The room: a digit or a sign, then at most three digits.
    EXPECT_TRUE(Accepts(form.EditX(), "1234"));
    EXPECT_TRUE(Accepts(form.EditX(), "-12"));
    EXPECT_FALSE(Accepts(form.EditX(), "12345"));
    EXPECT_FALSE(Accepts(form.EditX(), "1a"));
    EXPECT_FALSE(Accepts(form.EditX(), "1-"));

    const storage::AutomapValues v{"There", Phrase(map::North), "12", "knock", false};
    form.SetValues(v);
    EXPECT_EQ(form.Values(), v);
}

TEST_F(DialogWorld, OpeningTheRoomDialogsWritesEveryCaptionKeyAndShowsReplacedTexts) {
    const std::filesystem::path lang = session->Texts().Path();
    // A user's English file for a few keys; the rest stay at their built-in texts.
    TempDir::Write(lang, "[PropertyForm]\r\nCaption=Room properties\r\ncbAgro=Aggressive mobs "
                         "here, beware of them\r\n[AutomapForm]\r\nlblOnExit=Leaving by\r\n");
    map::TMudRoom2* r = Room(0, 0);
    r->AutoMaps = {"There|" + Phrase(map::East) + "|1|open|-1"};
    r->SetExits("N (S) E", session->Profile());
    r->ChN = r->DT = true;
    r->Description = "A square.\r\nA fountain in the middle.";
    auto form = Open(r);
    EXPECT_EQ(form->windowTitle(), "Room properties #" + QString::number(r->Tag));
    EXPECT_EQ(form->FlagBox(3)->text(), "Aggressive mobs here, beware of them");
    EXPECT_EQ(form->FlagBox(1)->text(), QString::fromUtf8("ДТ"));
    view::TAutomapForm automap(session->Texts(), session->Profile(), {"Town", "There"});
    automap.SetValues({"There", Phrase(map::East), "1", "open", true});

    const storage::IniFile ini(lang);
    for (const char* key :
         {"Caption",    "TabSheet1",  "TabSheet2",     "lblName",       "lblDescription",
          "lblAlias",   "lblExits",   "lblChecked",    "cbDT",          "cbFlyDT",
          "cbAgro",     "cbNoStep",   "btnColor",      "lblPicture",    "lblNote",
          "lblAutomap", "lblWarning", "AuomapColumn1", "AuomapColumn2", "btnOk",
          "btnCancel",  "NEdit",      "NAdd",          "NDel"})
        EXPECT_TRUE(ini.Find("PropertyForm", key)) << key;
    EXPECT_EQ(ini.ReadString("PropertyForm", "cbFlyDT", ""), W("Флай ДТ"));
    for (const char* key : {"Caption", "lblOnExit", "CheckBoxSendMove", "lblSendTrigger",
                            "lblLoadZone", "lblEnterTheRoom", "btnOk", "btnCancel"})
        EXPECT_TRUE(ini.Find("AutomapForm", key)) << key;
    EXPECT_EQ(ini.ReadString("AutomapForm", "lblOnExit", ""), "Leaving by");

    form->show();
    automap.show();
    QApplication::processEvents();
    ExpectNothingCutOff(form.get());
    ExpectNothingCutOff(&automap);
    Shot(form.get(), "property-main");
    form->Tabs()->setCurrentIndex(1);
    QApplication::processEvents();
    ExpectNothingCutOff(form.get());
    Shot(form.get(), "property-links");
    Shot(&automap, "automap");
}
