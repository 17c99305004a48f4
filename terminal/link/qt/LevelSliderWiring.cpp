#include "terminal/link/qt/LevelSliderWiring.h"

#include <QObject>

#include "platform/instruments/qt/CiSliderX.h"

namespace terminal::ui {

void wireLevelSlider(platform::CiSliderX& slider, QObject* context, std::function<void()> grab,
                     std::function<void()> chosen) {
    // Every right-button release must reach the slider; a context menu of the window popping
    // up on the press would take it away.
    slider.setContextMenuPolicy(Qt::PreventContextMenu);
    // A right or middle press does not take hold; its release still sends the level.
    QObject::connect(&slider, &platform::CiSliderX::mouseDown, context,
                     [grab](int button, int, int, int) {
                         if (button & leftButtonBit) {
                             grab();
                         }
                     });
    QObject::connect(&slider, &platform::CiSliderX::keyDown, context, [grab](int, int) { grab(); });
    QObject::connect(&slider, &platform::CiSliderX::changeStarted, context, grab);

    QObject::connect(&slider, &platform::CiSliderX::mouseUp, context,
                     [chosen](int, int, int, int) { chosen(); });
    QObject::connect(&slider, &platform::CiSliderX::keyUp, context,
                     [chosen](int, int) { chosen(); });
    QObject::connect(&slider, &platform::CiSliderX::changeFinished, context, chosen);
    QObject::connect(&slider, &platform::CiSliderX::holdLost, context, chosen);
}

}  // namespace terminal::ui
