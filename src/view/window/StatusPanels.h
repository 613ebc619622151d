#pragma once
// The status bar's own widgets: the tracing light (panel 0) and the compression statistics box
// that a press on the compression panel (panel 1) shows until the button is released.

#include <QLabel>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <string>

namespace view {

// Panel 0: a light that is green while tracing is on and red while it is off.
class TracingLight : public QWidget {
public:
    explicit TracingLight(QWidget* parent);
    void SetOn(bool on);
    bool On() const { return on_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    bool on_ = false;
};

// The statistics text, lines ending in CR LF as the game's texts do.
std::string MccpStatisticsText(bool started, const std::string& mode, std::uint64_t bytesIn,
                               std::uint64_t bytesOut);

// A hint window: above all windows, never takes the focus, at most 600 pixels wide, its bottom
// edge 10 pixels above the given screen point.
class HintBox : public QLabel {
public:
    HintBox();
    void ShowAt(const QString& text, QPoint globalPointer);
};

} // namespace view
