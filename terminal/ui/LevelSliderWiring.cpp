#include "terminal/ui/LevelSliderWiring.h"

#include <QObject>

#include "platform/qt/CiSliderX.h"

namespace terminal::ui {

void wireLevelSlider(CiSliderX& slider, QObject* context, std::function<void()> grab,
                     std::function<void()> chosen) {
    // Every right-button release must reach the slider; a context menu of the window popping
    // up on the press would take it away.
    slider.setContextMenuPolicy(Qt::PreventContextMenu);
    // A right or middle press does not take hold; its release still sends the level.
    QObject::connect(&slider, &CiSliderX::mouseDown, context, [grab](int button, int, int, int) {
        if (button & leftButtonBit) {
            grab();
        }
    });
    QObject::connect(&slider, &CiSliderX::keyDown, context, [grab](int, int) { grab(); });
    QObject::connect(&slider, &CiSliderX::changeStarted, context, grab);

    QObject::connect(&slider, &CiSliderX::mouseUp, context,
                     [chosen](int, int, int, int) { chosen(); });
    QObject::connect(&slider, &CiSliderX::keyUp, context, [chosen](int, int) { chosen(); });
    QObject::connect(&slider, &CiSliderX::changeFinished, context, chosen);
    QObject::connect(&slider, &CiSliderX::holdLost, context, chosen);
}

}  // namespace terminal::ui
