#pragma once
// What the application core asks of its front end: the main window, or the headless runner
// which has no one to ask. Texts are Windows-1251.

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
    // The window is neither minimised nor maximised (its place is worth saving); the window
    // also stores its place and pane widths into the settings here.
    virtual bool CollectWindowPlace(int& top, int& left, int& height, int& width) = 0;
};

} // namespace app
