#pragma once
// A LoaderObserver that records what BootLink reported, in order, and keeps the latest
// state of each display so tests can ask for it directly.

#include <map>
#include <string>
#include <vector>

#include "loader/core/LoaderObserver.h"

namespace testing_support {

class RecordingObserver : public loader::LoaderObserver {
public:
    std::vector<std::string> calls;
    std::vector<std::string> messages;
    std::vector<int> writePositions;
    std::map<int, bool> lamps;
    int eraseRange = -1;
    int erasePos = -1;
    bool timerRunning = false;
    int identifiedCount = 0;
    int eraseBegunCount = 0;
    int finishedCount = 0;
    bool lastProgrammed = false;
    int refreshCount = 0;

    void showMessage(const std::string& text) override {
        calls.push_back("message");
        messages.push_back(text);
    }
    // The answer to a damaged HEX file's question, and the questions asked.
    bool programDamaged = false;
    std::vector<std::string> damagedQuestions;
    bool confirmDamagedImage(const std::string& fault) override {
        calls.push_back("damaged image");
        damagedQuestions.push_back(fault);
        return programDamaged;
    }
    void setLamp(int id, bool on) override {
        calls.push_back("lamp " + std::to_string(id) + (on ? " on" : " off"));
        lamps[id] = on;
    }
    void setEraseRange(int max) override {
        calls.push_back("eraseRange " + std::to_string(max));
        eraseRange = max;
    }
    void setErasePos(int pos) override { erasePos = pos; }
    void setWritePos(int pos) override { writePositions.push_back(pos); }
    void startTimer() override {
        calls.push_back("startTimer");
        timerRunning = true;
    }
    void stopTimer() override {
        calls.push_back("stopTimer");
        timerRunning = false;
    }
    void identifiedNow() override {
        calls.push_back("identifiedNow");
        ++identifiedCount;
    }
    void eraseBegun() override {
        calls.push_back("eraseBegun");
        ++eraseBegunCount;
    }
    void sessionFinished(bool programmed) override {
        calls.push_back(programmed ? "finished programmed" : "finished abandoned");
        ++finishedCount;
        lastProgrammed = programmed;
    }
    void refresh() override { ++refreshCount; }
};

}  // namespace testing_support
