#include "terminal/dashboard/qt/DashboardAccessibleNames.h"

#include <QMap>

#include "platform/layout/qt/AccessibleNaming.h"
#include "platform/layout/qt/LayoutCaptions.h"
#include "terminal/dashboard/ControlIds.h"
#include "terminal/dashboard/qt/DashboardLayout.h"
#include "terminal/recording/ExportNames.h"
#include "terminal/troublecodes/TroubleCodes.h"
#include "terminal/vehicle/EngineDashboardMap.h"

namespace terminal::ui {

namespace {

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void name(const platform::DialogControls& controls, int id, const QString& name) {
    platform::nameForReaders(controls.widget(id), name);
}

void nameFromLayout(const platform::DialogControls& controls) {
    const auto frames = dashboardFrames();
    QMap<QString, int> buttonCaptions;
    for (const platform::ControlRow& row : dashboardControls()) {
        if (row.kind == platform::ControlKind::pushButton) {
            ++buttonCaptions[platform::captionText(row.caption)];
        }
    }
    for (const platform::ControlRow& row : dashboardControls()) {
        switch (row.kind) {
            case platform::ControlKind::edit:
            case platform::ControlKind::editableCombo:
                platform::nameByLayout(controls.widget(row.id), row, frames);
                break;
            case platform::ControlKind::pushButton: {
                const QString caption = platform::captionText(row.caption);
                if (buttonCaptions.value(caption) > 1) {
                    name(controls, row.id,
                         platform::groupCaptionAround(row, frames) + QLatin1Char(' ') + caption);
                }
                break;
            }
            default:
                break;
        }
    }
}

}  // namespace

void nameDashboardControls(const platform::DialogControls& controls) {
    nameFromLayout(controls);
    for (const EngineDisplay& display : engineDisplays) {
        name(controls, display.id, fromView(withoutPadding(display.caption)));
    }
    for (const EngineLamp& lamp : engineLamps) {
        name(controls, lamp.id, fromView(lamp.label));
    }
    for (const TroubleCodeLamp& lamp : troubleCodeLamps) {
        name(controls, lamp.id, QString::fromStdString(troubleCodeLampName(lamp)));
    }
    name(controls, ids::levelSlider, QString::fromLatin1(levelSliderName));
}

}  // namespace terminal::ui
