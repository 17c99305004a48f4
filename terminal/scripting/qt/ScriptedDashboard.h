#pragma once
// The dashboard driven by scripts through its socket (--listen) while the operator watches:
// the headless commands carried out on the window's own controls, as the operator's hand
// works them (the same pending flags, the same pacing), and the headless events sent to every
// script, the window's message boxes among them as error events. The status bar counts the
// scripts.

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <string>

#include "terminal/link/SessionObserver.h"
#include "terminal/scripting/CommandRunner.h"
#include "terminal/scripting/qt/ScriptSocket.h"

namespace terminal::ui {

class DashboardWindow;

class ScriptedDashboard : public QObject, private headless::ScriptHands, private SessionObserver {
public:
    // `statusRate`: status events per second (0: only on snapshot). Goes before the window.
    ScriptedDashboard(DashboardWindow& window, double statusRate);
    ~ScriptedDashboard() override;

    // Listens at `path`: empty when it does, else why not.
    std::string listen(const std::string& path);
    // The socket file removed now, for an end that skips destructors (a signal).
    void remove() { socket_.remove(); }

private:
    // ScriptHands: the window's controls.
    bool modeChecked(int controlId) override;
    void checkMode(int controlId, bool on) override;
    void moveSlider(double position) override;
    void keyCommandSent(const std::string& word) override;
    void answer(const std::string& line) override { socket_.answer(line); }
    void emitStatus() override;
    void quit() override;

    // SessionObserver: the link and the acks as events.
    void linkChanged(const VehicleSnapshot& shown, const DashboardState& panel) override;
    void acknowledged(Acknowledgement which) override;

    DashboardWindow& window_;
    headless::CommandRunner commands_;
    headless::ScriptSocket socket_;
    QTimer statusTimer_;
    std::uint32_t startMs_;
    // The status lines shown when the last status event went out.
    std::uint64_t statusLinesSent_ = 0;
    std::string keyCommand_ = "key";
};

}  // namespace terminal::ui
