#include "terminal/sequences/ExpectCheck.h"

#include <cmath>

#include "terminal/recording/ExportNames.h"
#include "terminal/trends/TrendItems.h"

namespace terminal::sequences {

namespace {

std::string onOffText(bool on) {
    return on ? "on" : "off";
}

}  // namespace

bool modeOn(const DashboardState& panel, std::string_view word) {
    if (word == "dynamic") {
        return panel.dynamicOn;
    }
    if (word == "quiet") {
        return panel.quietOn;
    }
    if (word == "warnings") {
        return panel.warningsOn;
    }
    return panel.resetEngineDm2On;
}

Check checkExpectation(const Expectation& expect, LinkState link, const VehicleSnapshot& shown,
                       const DashboardState& panel) {
    if (expect.kind == ExpectKind::link) {
        return {link == LinkState::identified, "link " + std::string(linkStateName(link))};
    }
    // The waiting look (0 rpm, -40 F) is no reading: nothing is checked against it.
    if (!shown.readings) {
        return {false, "no readings (the link is " + std::string(linkStateName(link)) + ")"};
    }
    switch (expect.kind) {
        case ExpectKind::level:
            return {shown.level == expect.level, "level " + std::to_string(shown.level)};
        case ExpectKind::mode: {
            const bool on = modeOn(panel, expect.mode.word);
            return {on == expect.mode.on, expect.mode.word + " " + onOffText(on)};
        }
        case ExpectKind::value: {
            const TrendItem& item = trendItems()[expect.item];
            const double value =
                item.kind == TrendItemKind::level ? shown.level : shown.display(item.id);
            bool met = true;
            if (expect.equals) {
                met = std::fabs(value - *expect.equals) <= expect.tolerance;
            }
            if (expect.min) {
                met = met && value >= *expect.min;
            }
            if (expect.max) {
                met = met && value <= *expect.max;
            }
            return {met, expect.caption + " " + describedNumber(value)};
        }
        case ExpectKind::lamp: {
            const bool lit = shown.lamp(trendItems()[expect.item].id);
            return {lit == expect.lit, "lamp " + expect.caption + (lit ? " lit" : " dark")};
        }
        case ExpectKind::troubleCode: {
            const TroubleCodeBoxName& box = troubleCodeBoxes[expect.box];
            std::string codes;
            bool found = false;
            for (const TroubleCode& code : troubleCodesShown(box, panel)) {
                found = found || (code.spn == expect.spn && code.fmi == expect.fmi);
                codes += (codes.empty() ? "" : ", ") + std::to_string(code.spn) + ":" +
                         std::to_string(code.fmi);
            }
            return {found == expect.present,
                    std::string(box.caption) + " " + (codes.empty() ? "empty" : codes)};
        }
        case ExpectKind::link:
            break;
    }
    return {};
}

}  // namespace terminal::sequences
