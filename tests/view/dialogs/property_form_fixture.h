#pragma once
// A world "W" with the current zone "Town" and the zone "There", a map page showing it, and a
// scripted user who answers questions and the colour dialog from queues.

#include "app/core/Session.h"
#include "support/TempDir.h"
#include "text/Cp1251.h"
#include "view/dialogs/PropertyForm.h"
#include "view/map/MapPage.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <deque>
#include <memory>

struct DialogUi : app::AppUi {
    std::deque<storage::Answer> answers;
    std::vector<std::string> questions, errors;
    int repaints = 0;
    void SetCaption(const std::string&) override {}
    void SetTracing(bool) override {}
    void SetMccpStatus(const std::string&) override {}
    void ShowError(const std::string& m) override { errors.push_back(m); }
    void Repaint() override { ++repaints; }
    bool CollectWindowPlace(int&, int&, int&, int&) override { return false; }
    storage::Answer Ask(const std::string& q, bool withCancel) override {
        questions.push_back(q);
        if (answers.empty()) return withCancel ? storage::Answer::Cancel : storage::Answer::No;
        const storage::Answer a = answers.front();
        answers.pop_front();
        return a;
    }
};

class DialogWorld : public ::testing::Test {
protected:
    DialogWorld() {
        TempDir::Write(dir.path() / "Maps" / "W" / "local.ini",
                       "[Connect]\r\nClient Port=0\r\n[Options]\r\nZone=Town\r\n");
        TempDir::Write(dir.path() / "Maps" / "W" / "Town.tk2", "");
        TempDir::Write(dir.path() / "Maps" / "W" / "There.tk2", "");
        session = std::make_unique<app::Session>(app::Session::Options{dir.path(), "W", false}, ui);
        session->Start();
        session->FirstActivation();
        // Empty zone files: the remembered zone is made current by hand.
        session->World().ClearZone();
        World().CurrentZone = "Town";
        session->World().LoadZone();
        page = std::make_unique<view::TMapPage>(*session);
        page->resize(400, 300);
    }
    ~DialogWorld() override {
        page.reset();
        session->Shutdown();
    }

    map::MapWorld& World() { return session->Map().World(); }
    map::TMudRoom2* Room(int x, int y, int l = 0, const char* name = "Room") {
        return session->Map().Linker().NewRoomAt(x, y, l, name, "", "");
    }
    // A room of the zone "There" with the number `tag`.
    map::TMudRoom2* ThereRoom(int tag) {
        auto r = std::make_unique<map::TMudRoom2>();
        r->Hint = "Far";
        r->Tag = tag;
        r->X = tag;
        return World().AddRoom(std::move(r), "There");
    }
    std::unique_ptr<view::TPropertyForm> Open(map::TMudRoom2* room) {
        World().ContextRoom = room;
        return std::make_unique<view::TPropertyForm>(*session, *page, *room);
    }
    static std::string W(const char* utf8) { return text::FromUnicode(QString::fromUtf8(utf8)); }
    static QString Q(const std::string& cp1251) { return text::ToUnicode(cp1251); }

    TempDir dir;
    DialogUi ui;
    std::unique_ptr<app::Session> session;
    std::unique_ptr<view::TMapPage> page;
};
