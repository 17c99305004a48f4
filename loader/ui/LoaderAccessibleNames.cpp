#include "loader/ui/LoaderAccessibleNames.h"

#include "loader/core/LoaderIds.h"
#include "loader/ui/LoaderLayout.h"
#include "platform/layout/qt/AccessibleNaming.h"
#include "platform/layout/qt/LayoutCaptions.h"

namespace loader::ui {

namespace {

struct LampLabel {
    int lamp;
    int label;
};
constexpr LampLabel lampLabels[] = {
    {ids::linkLamp, ids::onLabel},
    {ids::waitingLamp, ids::offLabel},
};

}  // namespace

void nameLoaderControls(const platform::DialogControls& controls) {
    const auto rows = loaderControls();
    for (const platform::ControlRow& row : rows) {
        if (row.kind != platform::ControlKind::edit &&
            row.kind != platform::ControlKind::editableCombo &&
            row.kind != platform::ControlKind::progressBar) {
            continue;
        }
        platform::nameByLayout(controls.widget(row.id), row, rows);
    }
    for (const LampLabel& pair : lampLabels) {
        const platform::ControlRow* lamp = platform::rowWithId(rows, pair.lamp);
        const platform::ControlRow* label = platform::rowWithId(rows, pair.label);
        if (lamp != nullptr && label != nullptr) {
            platform::nameForReaders(controls.widget(pair.lamp),
                                     platform::groupCaptionAround(*lamp, rows) + QLatin1Char(' ') +
                                         platform::captionText(label->caption));
        }
    }
}

}  // namespace loader::ui
