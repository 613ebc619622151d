#pragma once
// What the application core asks of its front end: the main window, or the headless runner
// which has no one to ask. Texts are Windows-1251.

#include "world/WorldUi.h"

#include <optional>
#include <string>

namespace app {

class AppUi {
public:
    virtual ~AppUi() = default;
    virtual void SetCaption(const std::string& caption) = 0;
    // Tracing on or off: the stop-tracing button and menu item, and the tracing light.
    virtual void SetTracing(bool on) = 0;
    virtual void SetMccpStatus(const std::string& text) = 0;
    // A stop-icon message box, caption "Quarvelin".
    virtual void ShowError(const std::string& message) = 0;
    virtual void Repaint() = 0;
    // The view follows the player: level and centre chosen anew (CenterBox), or the rooms given
    // the view's origin again (mShift); a room shown at the centre. Without a view: a repaint.
    virtual void CenterBox() { Repaint(); }
    virtual void Shift() { Repaint(); }
    virtual void ShowRoom(const map::TMudRoom2&) { Repaint(); }
    // The fill colour of new rooms: the skin's default room colour ($00BBGGRR).
    virtual map::Color DefaultRoomColor() { return map::kSilver; }
    // The world's profile was read (a world loaded): the view loads the skin it names.
    virtual void ProfileRead() {}
    // The window is neither minimised nor maximised (its place is worth saving); the window
    // also stores its place and pane widths into the settings here.
    virtual bool CollectWindowPlace(int& top, int& left, int& height, int& width) = 0;
    // A question-icon message box with Yes and No (and Cancel); with no one to ask, the
    // answer is No, or Cancel when offered.
    virtual storage::Answer Ask(const std::string&, bool withCancel) {
        return withCancel ? storage::Answer::Cancel : storage::Answer::No;
    }
    // Empties the clipboard and puts the text into it (a speedwalk for the player's client).
    virtual void SetClipboard(const std::string&) {}
    // The view's window mode; 2 keeps the view from following the next change of position.
    virtual void SetWindowMode(int) {}
    // The world chooser; nullopt when cancelled (always, with no one to ask).
    virtual std::optional<storage::WorldChoice> ChooseWorld(storage::ChooserMode,
                                                            const std::string&) {
        return std::nullopt;
    }
    // The colour dialog for a room ($00BBGGRR); nullopt when cancelled or with no one to ask.
    virtual std::optional<map::Color> ChooseColor(map::Color) { return std::nullopt; }
    // A short warning sound (a map operation that cannot be done where the user asked).
    virtual void Beep() {}
};

} // namespace app
