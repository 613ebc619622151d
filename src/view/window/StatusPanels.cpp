#include "view/window/StatusPanels.h"

#include <QPainter>
#include <cmath>

namespace view {

TracingLight::TracingLight(QWidget* parent) : QWidget(parent) {
    setFixedSize(19, 16);
}

void TracingLight::SetOn(bool on) {
    on_ = on;
    update();
}

void TracingLight::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(on_ ? QColor(0, 190, 0) : QColor(200, 0, 0));
    p.setPen(Qt::black);
    p.drawEllipse(QRectF(3, 2, 12, 12));
}

std::string MccpStatisticsText(bool started, const std::string& mode, std::uint64_t bytesIn,
                               std::uint64_t bytesOut) {
    if (!started) return "Compression disabled\r\n" + std::to_string(bytesOut) + " bytes";
    std::string rate = "----";
    if (bytesOut > 0) {
        // Compressed data can be larger than what it decodes to: the rate is then negative.
        const double r =
            100.0 - static_cast<double>(bytesIn) * 100.0 / static_cast<double>(bytesOut);
        rate = std::to_string(static_cast<long long>(std::trunc(r))) + "%";
    }
    return "MCCP Compression : " + mode + "\r\nCompressed: " + std::to_string(bytesIn) +
           " bytes,\r\nUncompressed: " + std::to_string(bytesOut) +
           " bytes\r\nCompression rate: " + rate;
}

HintBox::HintBox()
    : QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("HintBox");
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setWordWrap(true);
    setMargin(4);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setAutoFillBackground(true);
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
}

void HintBox::ShowAt(const QString& text, QPoint globalPointer) {
    setText(QString(text).replace("\r\n", "\n"));
    setMinimumSize(0, 0);
    setMaximumSize(600, QWIDGETSIZE_MAX);
    adjustSize();
    // Fixed, so that showing cannot change the size the place was measured with.
    setFixedSize(size());
    move(globalPointer.x(), globalPointer.y() - 10 - height());
    show();
}

} // namespace view
