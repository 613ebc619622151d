#pragma once
// The window's answers to what the map operations ask of the user: the colour dialog of the
// room menu and the error beep. The main window's MapUi forwards to them.

#include "map/MudRoom.h"

#include <QColor>

#include <optional>

class QWidget;

namespace view {

// Room colours are $00BBGGRR.
QColor ToQColor(map::Color c);
map::Color FromQColor(const QColor& c);

// The colour dialog opened on `initial`; nullopt when the user cancels.
std::optional<map::Color> ChooseRoomColor(map::Color initial, QWidget* parent = nullptr);
// The system's error beep.
void MapBeep();

} // namespace view
