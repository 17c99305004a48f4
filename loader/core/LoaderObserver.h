#pragma once
// What BootLink asks of the loader window. CLoaderDlg implements it; tests record the calls.

#include <string>

namespace loader {

class LoaderObserver {
public:
    virtual ~LoaderObserver() = default;

    // A modal message box with the text and OK.
    virtual void showMessage(const std::string& text) = 0;
    // Program found the image to be a damaged Intel HEX file (`fault`: "fw.hex line 3: record
    // checksum is wrong"). True sends it anyway; false sends nothing and the run stays
    // Identified.
    virtual bool confirmDamagedImage(const std::string& fault) = 0;
    // Round lamp ids::linkLamp or ids::waitingLamp on or off.
    virtual void setLamp(int lampId, bool on) = 0;
    // "Flash Erasing" bar: range 0..max and position.
    virtual void setEraseRange(int max) = 0;
    virtual void setErasePos(int pos) = 0;
    // "Programming" bar position (range 0..100).
    virtual void setWritePos(int pos) = 0;
    // The window's 100 ms timer.
    virtual void startTimer() = 0;
    virtual void stopTimer() = 0;
    // Identification complete: enable Program, disable Connect.
    virtual void identifiedNow() = 0;
    // The start byte was echoed: disable Program.
    virtual void eraseBegun() = 0;
    // The run is over: enable Connect, Load File and Reset PIC. `programmed` is true when the
    // last byte's echo arrived (the end-of-run beep), false when the run was abandoned.
    virtual void sessionFinished(bool programmed) = 0;
    // Show identLine, sentCount and imageLength.
    virtual void refresh() = 0;
};

}  // namespace loader
