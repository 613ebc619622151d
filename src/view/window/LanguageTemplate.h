#pragma once
// The language file as a complete template: every window of the program opened once, so that
// each has looked up every text it shows (and so written it into "language.ini").

#include <QWidget>
#include <filesystem>
#include <functional>

namespace view {

class TQuarvelinForm;

// Opens each window of the program once, as the player would, and lets `visit` see each one
// while it is open (the main window first, with its menus). Every message text is looked up
// too. Nothing is changed in the world or the settings.
void OpenEveryWindow(TQuarvelinForm& form, const std::function<void(QWidget&)>& visit = {});

// Writes a complete language file with the built-in texts to `out`, using a data directory of
// its own. 0 on success; an error goes to stderr.
int WriteLanguageTemplate(const std::filesystem::path& out);

} // namespace view
