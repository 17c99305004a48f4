#pragma once
// A loader window on a recording serial control and clock, with helpers that read its
// controls and play the boot loader's replies.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <optional>
#include <string>

#include "FakeClock.h"
#include "FakeSerialControl.h"
#include "loader/core/LoaderIds.h"
#include "loader/ui/CLoaderDlg.h"
#include "platform/instruments/qt/CiLedRoundX.h"

namespace testing_support {

class ScriptedChooser : public loader::FileChooser {
public:
    std::optional<std::string> answer;
    int asked = 0;
    std::optional<std::string> chooseFile(const loader::OpenFileRequest&) override {
        ++asked;
        return answer;
    }
};

class LoaderWindowTest : public ::testing::Test {
protected:
    FakeSerialControl serial;
    FakeClock clock;
    ScriptedChooser chooser;
    loader::ui::CLoaderDlg window{&serial, &clock};
    QTemporaryDir dir;
    std::vector<QString> messages;
    // The faults a damaged HEX file was questioned with, and the answer (true: send it).
    std::vector<QString> damagedQuestions;
    bool sendDamaged = false;

    LoaderWindowTest() {
        window.setFileChooser(&chooser);
        window.setMessageSink([this](const QString& text) { messages.push_back(text); });
        window.setDamagedImageQuestion([this](const QString& fault) {
            damagedQuestions.push_back(fault);
            return sendDamaged;
        });
    }

    template <class T>
    T* control(int id) {
        T* widget = window.controls().get<T>(id);
        EXPECT_NE(widget, nullptr) << "control " << id;
        return widget;
    }
    QString text(int id) {
        if (auto* combo = window.controls().get<QComboBox>(id)) {
            return combo->currentText();
        }
        return control<QLineEdit>(id)->text();
    }
    bool enabled(int id) { return window.controls().widget(id)->isEnabled(); }
    bool lamp(int id) { return control<platform::CiLedRoundX>(id)->isActive(); }
    void click(int id) { control<QPushButton>(id)->click(); }

    // The four step buttons, as the enabled-state table lists them: Load File, Reset PIC,
    // Connect, Program.
    std::string buttons() {
        std::string s;
        for (int id : {loader::ids::loadFileButton, loader::ids::resetButton,
                       loader::ids::connectButton, loader::ids::programButton}) {
            s += enabled(id) ? "on " : "off ";
        }
        s.pop_back();
        return s;
    }

    QString writeFile(const QString& name, const QByteArray& content) {
        QString path = dir.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(content);
        return path;
    }
    void chooseFile(const QString& name, const QByteArray& content) {
        chooser.answer = writeFile(name, content).toStdString();
        click(loader::ids::loadFileButton);
    }
    void echoLastByte() { serial.receive(std::vector<std::uint8_t>{serial.written.back()}); }
};

}  // namespace testing_support
