#pragma once
// A dashboard window with its settings file in a folder of its own and no simulator attached.

#include <QTemporaryDir>
#include <memory>

#include <gtest/gtest.h>

#include "terminal/dashboard/qt/DashboardWindow.h"

class DashboardFixture : public ::testing::Test {
protected:
    DashboardFixture() {
        // No COM name may reach a real device from a test.
        qputenv("COMPORTS_DIR", folder.path().toUtf8());
        window = std::make_unique<terminal::ui::DashboardWindow>(
            folder.filePath("vive1939.ini").toStdString());
    }

    // The start-up as the program runs it, without the keep-alive ticks: a test that needs a
    // tick calls onTimer itself.
    void start() {
        window->startSession();
        window->stopTimer(2);
    }

    template <class T>
    T* control(int id) const {
        return window->controls().get<T>(id);
    }

    QTemporaryDir folder;
    std::unique_ptr<terminal::ui::DashboardWindow> window;
};
