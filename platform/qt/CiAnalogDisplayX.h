#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

// Numeric display: the last value given, with a fixed number of decimals and a units text,
// in bold digits on a dark instrument face.
class CiAnalogDisplayX : public QWidget {
    Q_OBJECT
public:
    // Decimals shown when no precision is configured.
    static constexpr int defaultPrecision = 1;

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

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int effectivePrecision() const;

    double value_ = 0.0;
    int precision_ = -1;
    QString units_;
    QColor digitColor_{0, 255, 0};
};
