#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QFont>
#include <QRectF>
#include <QString>
#include <QTimer>
#include <QWidget>

namespace platform {

// Numeric display: the last value given, with a fixed number of decimals and a units text,
// in bold digits on a dark instrument face.
//
// A saturated line rewrites every display hundreds of times a second; a person reads a readout
// a few times a second, and each repaint lays out its text anew. So a display repaints only
// when its text changes, and then at most once per readout period: a change within the period
// is painted at its end, showing the value written last. value() and displayText() always
// give the last value written. A listening accessibility client hears of a new text with the
// repaint that shows it, so no more often than that.
class CiAnalogDisplayX : public QWidget {
    Q_OBJECT
public:
    // Decimals shown when no precision is configured.
    static constexpr int defaultPrecision = 1;
    // Shortest time between two repaints for new values: ten a second.
    static constexpr int readoutMs = 100;

    explicit CiAnalogDisplayX(QWidget* parent = nullptr);

    void setValue(double value);
    double value() const { return value_; }

    // -1 (or any negative number) selects the default number of decimals.
    void setPrecision(int decimals);
    int precision() const { return precision_; }

    // Appended to the number as given; the dashboard's units carry their own leading space.
    void setUnitsText(const QString& units);
    QString unitsText() const { return units_; }

    void setDigitColor(const QColor& color);
    QColor digitColor() const { return digitColor_; }

    // Exactly what the face shows, e.g. "4015.88 RPM".
    QString displayText() const;
    // Where on the face the text stands, and the font that fits it there.
    QRectF readoutArea() const;
    QFont readoutFont() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int effectivePrecision() const;
    // Asks for a repaint of a changed value, at most once per readout period.
    void repaintReadout();
    // Repaints at once: the look changed, not the value.
    void refresh();
    // Tells a listening accessibility client the text of the repaint just asked for.
    void announceReadout();
    // The largest bold font, in whole pixels, in which `text` fits the face; the last kept.
    static QFont fitReadout(QFont font, const QString& text, qreal faceHeight, qreal width);
    QFont fittedFont(const QString& text, qreal faceHeight, qreal width);

    QString shownText_;      // the text of the last repaint asked for
    QString announcedText_;  // the text an accessibility client was last told of
    QElapsedTimer sinceRepaint_;
    QTimer readoutTimer_;
    // The last fit, kept: a repaint for the same text in the same place need not measure again.
    QString fittedText_;
    QSizeF fittedArea_;
    QFont fittedBase_;
    QFont fitted_;

    double value_ = 0.0;
    int precision_ = -1;
    QString units_;
    QColor digitColor_{0, 255, 0};
};

}  // namespace platform
