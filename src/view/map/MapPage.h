#pragma once
// The map page: the map panel `PanelMain` with its scroll bars `SB1` (horizontal, the Y at the
// centre) and `SB2` (vertical, the X at the centre), the skin it draws with, and the view state.

#include "view/map/BitmapPanel.h"
#include "view/map/MapPainter.h"
#include "view/map/MapView.h"
#include "view/map/Skin.h"

#include <QScrollBar>
#include <QWidget>

#include <filesystem>
#include <memory>

namespace app {
class Session;
}

namespace view {

class TMapMouse;
class TMapContextMenu;

class TMapPage : public QWidget {
    Q_OBJECT
public:
    TMapPage(app::Session& session, QWidget* parent = nullptr);
    ~TMapPage() override;

    TMapView& View() { return view_; }
    TSkin& Skin() { return skin_; }
    TBitmapPanel* PanelMain() const { return panel_; }
    QScrollBar* HorizontalBar() const { return sb1_; }
    QScrollBar* VerticalBar() const { return sb2_; }
    TMapMouse& Mouse() { return *mouse_; }
    TMapContextMenu& ContextMenu() { return *menu_; }
    // H: the width and height of a cell in the skin the map is drawn with.
    int CellSize() const { return skin_.Set(Settings().chooserIndex).cell; }
    // How the map panel paints: its colour, texture and the skin set (the room property
    // dialog's preview paints the same way).
    PaintSettings PanelSettings() const { return Settings(); }

    // Loads a variant of the world's skin file (set A for 0, B for others), rebuilds the
    // picture menu, makes the skin's room colour the last-used one, repaints.
    void LoadSkin(int variant);
    void CenterBox() { view_.CenterBox(); }
    void Shift() { view_.mShift(); }
    // Shows a room: its cell at the centre, its level on display.
    void ShowRoom(const map::TMudRoom2& room);
    // CenterClick: back to the zone of the player's room when it is another, then CenterBox.
    void CenterClick();
    void tbLevelClick(int delta) { view_.tbLevelClick(delta); }

signals:
    // Status panel 2, the note panel and the level buttons follow the view.
    void StatusChanged(const QString& text);
    void NoteChanged(const QString& text);
    void LevelsChanged(bool upEnabled, bool downEnabled);

private:
    void PanelMainPaint(QImage& canvas);
    void SyncScrollBars();
    PaintSettings Settings() const;

    app::Session& session_;
    TSkin skin_;
    TMapView view_;
    TMapPainter painter_;
    TBitmapPanel* panel_ = nullptr;
    QScrollBar* sb1_ = nullptr;
    QScrollBar* sb2_ = nullptr;
    std::unique_ptr<TMapContextMenu> menu_;
    std::unique_ptr<TMapMouse> mouse_;
};

} // namespace view
