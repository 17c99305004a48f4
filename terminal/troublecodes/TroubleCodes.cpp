#include "terminal/troublecodes/TroubleCodes.h"

#include "terminal/troublecodes/TroubleCodeRows.h"

namespace terminal {

namespace {

// Level at which the engine's codes move to the multi-packet lists.
constexpr unsigned multiPacketLevel = 100;

struct EngineDm1Step {
    std::string_view text;
    bool amber;
    bool redStop;
};

// Engine DM1 with Warnings on, for every level but the multi-packet one.
EngineDm1Step engineDm1ForLevel(unsigned L) {
    if (L == 0)
        return {rows::engineDm1Level0, true, false};
    if (L <= 9)
        return {rows::engineDm1Level1To19, true, false};
    if (L <= 19)
        return {rows::engineDm1Level1To19, true, true};
    if (L == 20)
        return {rows::engineDm1Level20, true, false};
    if (L <= 29)
        return {rows::engineDm1Level21To39, true, false};
    if (L <= 39)
        return {rows::engineDm1Level21To39, true, true};
    if (L == 40)
        return {rows::engineDm1Level40, true, false};
    if (L <= 49)
        return {rows::engineDm1Level41To59, true, false};
    if (L <= 59)
        return {rows::engineDm1Level41To59, true, true};
    if (L == 60)
        return {rows::engineDm1Level60, true, false};
    return {rows::zero, false, false};
}

void setEngineDm1(unsigned L, bool W, TroubleCodes& t) {
    t.engineDm1ButtonEnabled = false;
    t.engineDm1Text = rows::zero;
    if (!W)
        return;
    if (L == multiPacketLevel) {
        t.engineDm1Text = rows::seeMultiPackets;
        t.engineDm1ButtonEnabled = true;
        t.engineAmberLamp = true;
        t.engineRedStopLamp = true;
        return;
    }
    const EngineDm1Step step = engineDm1ForLevel(L);
    t.engineDm1Text = step.text;
    t.engineAmberLamp = step.amber;
    t.engineRedStopLamp = step.redStop;
}

// Engine DM2 ignores Warnings; Reset Eng DM2 clears it.
void setEngineDm2(unsigned L, bool R, TroubleCodes& t) {
    t.engineDm2ButtonEnabled = false;
    if (R) {
        t.engineDm2Text = rows::zero;
    } else if (L == multiPacketLevel) {
        t.engineDm2Text = rows::seeMultiPackets;
        t.engineDm2ButtonEnabled = true;
    } else {
        t.engineDm2Text = rows::engineDm2;
    }
}

void setTransmissionDm1(unsigned L, bool W, TroubleCodes& t) {
    const bool active = W && L >= 81 && L <= 100;
    t.transmissionDm1Text = active ? rows::transmissionDm1 : rows::zero;
    t.transmissionAmberLamp = active;
    t.transmissionRedStopLamp = active && L >= 90;
}

void setAbsDm1(unsigned L, bool W, TroubleCodes& t) {
    const bool active = W && ((L >= 61 && L <= 80) || L == 100);
    t.absDm1Text = active ? rows::absDm1 : rows::zero;
    t.absAmberLamp = active;
    t.absRedStopLamp = active && L >= 70;
}

}  // namespace

TroubleCodes computeTroubleCodes(std::uint8_t level, bool warningsOn, bool resetEngineDm2On,
                                 std::uint16_t firmwareVersion) {
    TroubleCodes t;
    if (firmwareVersion == 0) {
        t.engineDm1Text = rows::zero;
        t.engineDm2Text = rows::zero;
        t.transmissionDm1Text = rows::zero;
        t.absDm1Text = rows::zero;
        return t;
    }
    setEngineDm1(level, warningsOn, t);
    setEngineDm2(level, resetEngineDm2On, t);
    setTransmissionDm1(level, warningsOn, t);
    setAbsDm1(level, warningsOn, t);
    return t;
}

}  // namespace terminal
