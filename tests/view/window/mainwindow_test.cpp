#include "files/IniFile.h"
#include "files/Language.h"
#include "support/TempDir.h"
#include "text/Cp1251.h"
#include "view/map/MapDialogs.h"
#include "view/map/MapPage.h"
#include "view/objects/ObjectPage.h"
#include "view/window/QuarvelinForm.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

namespace {
void Process(int rounds = 20) {
    for (int i = 0; i < rounds; ++i)
        QApplication::processEvents();
}
} // namespace

TEST(MainWindow, CaptionStatusBarStopTraceAndLogPane) {
    TempDir dir;
    TempDir::Write(dir.path() / "Maps" / "Мир" / "local.ini", "[Connect]\r\nClient Port=0\r\n");
    TempDir::Write(dir.path() / "language.ini", "[MainForm]\r\nnStopTrace=Stop it\r\n");
    view::TQuarvelinForm form({dir.path(), text::FromUnicode(QString::fromUtf8("Мир")), false});
    EXPECT_EQ(form.windowTitle(), "Loading...");
    form.show();
    Process();
    EXPECT_TRUE(form.windowTitle().startsWith(QString::fromUtf8("[Мир")))
        << form.windowTitle().toStdString();
    EXPECT_TRUE(form.windowTitle().endsWith("] Quarvelin v. " +
                                            QString::fromStdString(relay::VersionText())));
    EXPECT_EQ(form.MccpPanel()->text(), " mccp: none");
    // The map and the object base on two pages.
    ASSERT_EQ(form.Pages()->count(), 2);
    EXPECT_EQ(form.Pages()->tabText(0), QString::fromUtf8("Карта"));
    EXPECT_EQ(form.Pages()->tabText(1), QString::fromUtf8("Объекты"));
    EXPECT_EQ(form.Pages()->widget(1), static_cast<QWidget*>(form.ObjectPage()));
    // The stop-tracing item follows the tracing switch and takes its caption from the language
    // file.
    EXPECT_FALSE(form.StopTraceAction()->isEnabled());
    EXPECT_EQ(form.StopTraceAction()->text(), "Stop it");
    form.Session().ModeClick(true);
    EXPECT_TRUE(form.StopTraceAction()->isEnabled());
    form.StopTraceAction()->trigger();
    EXPECT_FALSE(form.Session().Tracing());
    EXPECT_FALSE(form.StopTraceAction()->isEnabled());

    // ELine shows the log pane even with logging off; the pane keeps at most 500 lines.
    EXPECT_FALSE(form.LogPane()->isVisible());
    form.Session().Log().ELine("problem");
    EXPECT_TRUE(form.LogPane()->isVisible());
    form.Session().Log().DebugActiv = true;
    for (int i = 0; i < 600; ++i)
        form.Session().Log().DLine("line " + std::to_string(i));
    EXPECT_EQ(form.LogPane()->document()->blockCount(), 500);
    // Making the window wrote every control key into the language file, keeping the user's text.
    storage::IniFile lang(dir.path() / "language.ini");
    EXPECT_EQ(lang.ReadString("MainForm", "nStopTrace", ""), "Stop it");
    EXPECT_EQ(lang.ReadString("MainForm", "nSaveWorld", ""),
              storage::BuiltinTextOf("MainForm", "nSaveWorld"));
    EXPECT_EQ(lang.ReadSection("MainForm").size(), storage::MainFormControls().size());
    form.close();
    // Closing wrote the settings, with the world named in them; the error shown in the log pane
    // did not make the pane a setting.
    const std::string settings = TempDir::Read(dir.path() / "quarvelin.ini");
    EXPECT_NE(settings.find("World=\xCC\xE8\xF0"), std::string::npos);
    EXPECT_NE(settings.find("DebugVisible=0"), std::string::npos);
}

TEST(MainWindow, SpeedwalkToTheClipboardInUnicode) {
    TempDir dir;
    view::TQuarvelinForm form({dir.path(), "", false});
    // "с;вниз" in Windows-1251, as the search gives it.
    form.SetClipboard(text::FromUnicode(QString::fromUtf8("с;вниз")));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("с;вниз"));
}

TEST(MainWindow, NewRoomsTakeTheSkinsRoomColour) {
    TempDir dir;
    TempDir::Write(dir.path() / "Maps" / "W" / "local.ini", "[Connect]\r\nClient Port=0\r\n");
    view::TQuarvelinForm form({dir.path(), "W", false});
    form.show();
    Process();
    map::TMudRoom2* room =
        form.Session().Map().Linker().NewRoomAt(0, 0, 0, "Square", "Quiet.", "N S");
    ASSERT_NE(room, nullptr);
    const map::Color skinColour = view::FromQColor(form.MapPage()->Skin().DefaultRoomColor());
    EXPECT_NE(skinColour, map::kSilver); // the built-in skin's own room colour
    EXPECT_EQ(room->BColor, skinColour);
    EXPECT_EQ(form.Session().Map().World().LastColor, skinColour);
    form.close();
}
