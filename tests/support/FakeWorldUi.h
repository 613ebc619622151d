#pragma once
// A scripted stand-in for the user of the world and zone operations: it records messages,
// questions and what was shown, answers questions and the world chooser from queues (Cancel
// and nothing when they run dry), and reads and writes the world's profile when it knows the
// store and the profile.

#include "files/IniFile.h"
#include "files/Language.h"
#include "files/Paths.h"
#include "files/ProfileFile.h"
#include "map/MapModel.h"
#include "map/MudRoom.h"
#include "profile/WorldProfile.h"
#include "support/TempDir.h"
#include "world/WorldStore.h"
#include "world/WorldUi.h"

#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct FakeWorldUi : storage::WorldUi {
    std::vector<std::string> errors, questions, log;
    std::deque<storage::Answer> answers;
    std::deque<std::optional<std::string>> choices;
    std::optional<storage::NewWorldGame> game; // what a world is created for
    std::vector<std::pair<storage::ChooserMode, std::string>> chooser;
    std::string caption;
    int tracingOff = 0, centred = 0, panelShown = 0, panelHidden = 0;
    bool panelVisible = true;
    const map::TMudRoom2* shown = nullptr;
    storage::WorldStore* store = nullptr;
    profile::WorldProfile* profile = nullptr;

    void ShowError(const std::string& m) override { errors.push_back(m); }
    storage::Answer Ask(const std::string& q, bool) override {
        questions.push_back(q);
        if (answers.empty()) return storage::Answer::Cancel;
        const storage::Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<storage::WorldChoice> ChooseWorld(storage::ChooserMode mode,
                                                    const std::string& name) override {
        chooser.emplace_back(mode, name);
        if (choices.empty()) return std::nullopt;
        auto c = choices.front();
        choices.pop_front();
        if (!c) return std::nullopt;
        return storage::WorldChoice{*c, mode == storage::ChooserMode::Create ? game : std::nullopt};
    }
    void LogError(const std::string& line) override { log.push_back(line); }
    void SetCaption(const std::string& c) override { caption = c; }
    void TracingOff() override { ++tracingOff; }
    void CenterMap() override { ++centred; }
    void ShowRoom(const map::TMudRoom2& room) override { shown = &room; }
    void ShowZonePanel() override {
        ++panelShown;
        panelVisible = true;
    }
    void HideZonePanel() override {
        ++panelHidden;
        panelVisible = false;
    }
    bool ZonePanelVisible() const override { return panelVisible; }

    std::filesystem::path ProfilePath() const {
        return storage::FindIgnoreCase(store->WorldDir(), "local.ini");
    }
    void ReadProfile() override {
        if (store && profile) storage::ReadProfile(*profile, storage::IniFile(ProfilePath()));
    }
    void WriteSettings() override {
        if (!store || !profile) return;
        storage::IniFile ini(ProfilePath());
        storage::WriteSkinAndLocks(*profile, ini);
    }
};

// A world store on a temporary data directory with the scripted user.
struct WorldEnv {
    TempDir dir;
    profile::WorldProfile profile;
    map::NullMapUi mapUi;
    map::MapModel model{profile, mapUi};
    storage::Language language{dir / "language.ini"};
    FakeWorldUi ui;
    storage::WorldStore store{model, profile, language, ui, dir.path(), "test"};

    WorldEnv() {
        ui.store = &store;
        ui.profile = &profile;
    }
};
