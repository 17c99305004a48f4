#pragma once

#include <QColor>
#include <QFont>

class QPainter;
namespace platform {

class SliderGeometry;

// Draws the level slider: numbered ticks, the blue groove and the pointer-shaped thumb, all
// greyed while the slider is disabled.
class SliderPainter {
public:
    // The small font of the tick numbers, derived from the widget's font.
    static QFont numberFont(const QFont& base);

    static void paint(QPainter& painter, const SliderGeometry& shape, double position, bool enabled,
                      const QColor& ink, const QFont& font);
    // The parts that stay put while the thumb moves (ticks, numbers, track), and the thumb:
    // together what paint() draws.
    static void paintScale(QPainter& painter, const SliderGeometry& shape, bool enabled,
                           const QColor& ink, const QFont& font);
    static void paintThumb(QPainter& painter, const SliderGeometry& shape, double position,
                           bool enabled);

private:
    static void paintTicks(QPainter& painter, const SliderGeometry& shape, const QColor& ink);
    static void paintNumbers(QPainter& painter, const SliderGeometry& shape, const QColor& ink,
                             const QFont& font);
    static void paintTrack(QPainter& painter, const SliderGeometry& shape, bool enabled);
};

}  // namespace platform
