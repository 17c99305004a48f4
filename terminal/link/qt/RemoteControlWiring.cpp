#include "terminal/link/qt/RemoteControlWiring.h"

#include <QAbstractButton>

#include "platform/instruments/qt/CiSliderX.h"
#include "terminal/dashboard/ControlIds.h"
#include "terminal/link/RemoteControl.h"
#include "terminal/link/qt/LevelSliderWiring.h"

namespace terminal::ui {

namespace {
constexpr int clickedControls[] = {ids::menuButton,         ids::downButton, ids::upButton,
                                   ids::dynamicCheck,       ids::quietCheck, ids::warningsCheck,
                                   ids::resetEngineDm2Check};
}  // namespace

void wireRemoteControls(const platform::DialogControls& controls, QObject* context,
                        RemoteControl& remote, EventEdge edge) {
    // `clicked` comes from the operator only; the panel's own writes to the check boxes
    // (setChecked) do not send anything.
    for (int id : clickedControls) {
        if (auto* button = controls.get<QAbstractButton>(id)) {
            QObject::connect(button, &QAbstractButton::clicked, context, [&remote, edge, id] {
                edge([&remote, id] { remote.onControlClicked(id); });
            });
        }
    }
    if (auto* slider = controls.get<platform::CiSliderX>(ids::levelSlider)) {
        wireLevelSlider(
            *slider, context, [&remote, edge] { edge([&remote] { remote.onLevelGrab(); }); },
            [&remote, edge] { edge([&remote] { remote.onLevelChosen(); }); });
    }
}

}  // namespace terminal::ui
