#pragma once
// What the world and zone operations ask of the program around them: messages and questions,
// the world chooser, the caption, the tracing switch, the view, the profile and settings files,
// and the object base. The main window and the headless runner implement it; tests use a fake
// that records what was asked and answers as scripted. Texts are Windows-1251.

#include "files/GameProfiles.h"
#include "map/MudRoom.h"

#include <filesystem>
#include <optional>
#include <string>

namespace storage {

enum class Answer { Yes, No, Cancel };

// The three uses of the world chooser.
enum class ChooserMode { Load, Save, Create };

// The game a new world is made for: the profile it starts from and the game's server.
struct NewWorldGame {
    std::filesystem::path profile; // empty: none (the template serves, as for any world without)
    GameServer server;
};

// What the world chooser ends with: the world's name, and when creating, the game chosen.
struct WorldChoice {
    std::string name;
    std::optional<NewWorldGame> game;
};

class WorldUi {
public:
    virtual ~WorldUi() = default;

    // A stop-icon message box, caption "Quarvelin".
    virtual void ShowError(const std::string& message) = 0;
    // A question-icon message box with Yes and No, and Cancel when `withCancel`.
    virtual Answer Ask(const std::string& question, bool withCancel) = 0;
    // The world chooser in a mode with a proposed name; the choice on OK, nullopt on Cancel.
    virtual std::optional<WorldChoice> ChooseWorld(ChooserMode mode, const std::string& name) = 0;
    // A line in the debug log that is written whether logging is on or not.
    virtual void LogError(const std::string& line) = 0;
    virtual void SetCaption(const std::string& caption) = 0;

    // Tracing off, which also forgets the player's room.
    virtual void TracingOff() = 0;
    // Centres the map on the player's room (or its middle when there is none) and repaints.
    virtual void CenterMap() = 0;
    // Scrolls the map to a room, shows its level and repaints (a room found by the search).
    virtual void ShowRoom(const map::TMudRoom2& room) = 0;
    // Shows the zone panel when it is hidden; hides it again; whether it shows.
    virtual void ShowZonePanel() {}
    virtual void HideZonePanel() {}
    virtual bool ZonePanelVisible() const { return true; }

    // Reads the world's profile from its "local.ini" (the caller has set the world name).
    virtual void ReadProfile() = 0;
    // Writes the settings: the application file, and of the profile the skin and the locks.
    virtual void WriteSettings() = 0;

    // The object base of the world: emptied before another world loads, loaded from the
    // world's "objects.dat", saved with the world when it has unsaved changes.
    virtual void ClearObjectBase() {}
    virtual void LoadObjectBase() {}
    virtual void SaveObjectBaseIfChanged() {}
};

} // namespace storage
