#pragma once

#include "platform/instruments/qt/CiLamp.h"

namespace platform {

// Round lamp: a lit or dark disc, centred in the widget.
class CiLedRoundX : public CiLamp {
    Q_OBJECT
public:
    explicit CiLedRoundX(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace platform
