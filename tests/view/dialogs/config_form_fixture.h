#pragma once
// The settings dialog opened as the player opens it: a window on a world of its own, the
// dialog run through its tool button, and its controls found by their names.

#include "app/core/Session.h"
#include "support/EventLoop.h"
#include "support/TempDir.h"
#include "view/dialogs/ConfigForm.h"
#include "view/window/QuarvelinForm.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

struct Window {
    TempDir dir;
    std::unique_ptr<view::TQuarvelinForm> form;
    explicit Window(const std::string& profileExtra = {}, const std::string& settings = {}) {
        TempDir::Write(dir.path() / "Maps" / "W" / "local.ini",
                       "[Connect]\r\nClient Port=0\r\n" + profileExtra);
        if (!settings.empty()) TempDir::Write(dir.path() / "quarvelin.ini", settings);
        form =
            std::make_unique<view::TQuarvelinForm>(app::Session::Options{dir.path(), "W", false});
        form->show();
        WaitFor([this] { return !form->Session().ZoneName().empty(); });
    }
    app::Session& S() { return form->Session(); }
    map::TMudRoom2* AddRoom(const std::string& zone, int y, map::Color color,
                            const std::string& exits = {}) {
        auto room = std::make_unique<map::TMudRoom2>();
        room->Y = y;
        room->BColor = color;
        room->SetExits(exits, S().Profile());
        return S().Map().World().AddRoom(std::move(room), zone);
    }
};

// Runs `open`, which shows a modal dialog, and `body` while the dialog is shown; a dialog the
// body leaves open is cancelled.
template <class Dialog>
void WithModal(const std::function<void()>& open, const std::function<void(Dialog&)>& body) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        ran = true;
        body(*dialog);
        if (dialog->isVisible()) dialog->reject();
    });
    open();
    EXPECT_TRUE(ran);
}

// The settings dialog opened through its tool button.
inline void WithConfig(Window& w, const std::function<void(view::TConfigForm&)>& body) {
    WithModal<view::TConfigForm>([&] { w.form->Action("btnConfig")->trigger(); }, body);
}

template <class T = QLineEdit> T* Field(QWidget& dialog, const char* name) {
    T* field = dialog.findChild<T*>(name);
    EXPECT_NE(field, nullptr) << name;
    return field;
}

inline void Click(QWidget& dialog, const char* button) {
    Field<QAbstractButton>(dialog, button)->click();
}
