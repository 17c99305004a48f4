#pragma once
// A clock for unit tests: time moves only through pauses, and every pause is recorded.

#include "platform/clock/Clock.h"

#include <vector>

namespace testing_support {

class FakeClock : public platform::Clock {
public:
    std::uint32_t now = 0;
    std::vector<std::uint32_t> pauses;

    std::uint32_t milliseconds() override { return now; }
    void pause(std::uint32_t ms) override {
        pauses.push_back(ms);
        now += ms;
    }
};

}  // namespace testing_support
