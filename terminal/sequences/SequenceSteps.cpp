#include "terminal/sequences/SequenceSteps.h"

#include <charconv>

#include "terminal/recording/ExportNames.h"

namespace terminal::sequences {

namespace {

std::string numberText(double value) {
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string("?");
}

std::string modesText(const std::vector<ModeSetting>& modes) {
    std::string text;
    for (const ModeSetting& mode : modes) {
        text += (text.empty() ? "" : ", ") + mode.word + (mode.on ? " on" : " off");
    }
    return text;
}

}  // namespace

std::string expectedText(const Expectation& expect) {
    std::string text;
    switch (expect.kind) {
        case ExpectKind::level:
            text = "level " + std::to_string(expect.level);
            break;
        case ExpectKind::mode:
            text = expect.mode.word + (expect.mode.on ? " on" : " off");
            break;
        case ExpectKind::value:
            text = expect.caption;
            if (expect.equals) {
                text += " = " + numberText(*expect.equals);
                if (expect.tolerance > 0) {
                    text += " +/- " + numberText(expect.tolerance);
                }
            }
            if (expect.min) {
                text += " >= " + numberText(*expect.min);
            }
            if (expect.max) {
                text += " <= " + numberText(*expect.max);
            }
            break;
        case ExpectKind::lamp:
            text = "lamp " + expect.caption + (expect.lit ? " lit" : " dark");
            break;
        case ExpectKind::troubleCode:
            text = "trouble code " + std::string(troubleCodeBoxes[expect.box].caption) + " " +
                   std::to_string(expect.spn) + ":" + std::to_string(expect.fmi) +
                   (expect.present ? " present" : " absent");
            break;
        case ExpectKind::link:
            text = "link identified";
            break;
    }
    return text;
}

std::string stepText(const SequenceStep& step) {
    switch (step.kind) {
        case StepKind::level:
            return "level " + std::to_string(step.level);
        case StepKind::mode:
            return "mode " + modesText(step.modes);
        case StepKind::key:
            return "key " + step.key;
        case StepKind::wait:
            return "wait " + numberText(step.seconds) + " s";
        case StepKind::ramp:
            return "ramp to level " + std::to_string(step.level) + " over " +
                   numberText(step.seconds) + " s";
        case StepKind::profile:
            return "profile " + step.profileFile;
        case StepKind::expect:
            return "expect " + expectedText(step.expect) +
                   (step.expect.withinSeconds > 0
                        ? " within " + numberText(step.expect.withinSeconds) + " s"
                        : std::string());
        case StepKind::ask:
            return "ask \"" + step.question + "\"";
        case StepKind::run:
            return "run " + step.command;
    }
    return {};
}

std::string describedNumber(double value) {
    return numberText(value);
}

}  // namespace terminal::sequences
