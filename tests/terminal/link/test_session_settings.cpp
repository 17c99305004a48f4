// The settings file that remembers the last COM port, and where it lives.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core_rig.h"
#include "terminal/link/SettingsFile.h"

using namespace coretest;
using terminal::SettingsFile;

namespace {
std::string portFrom(const std::string& content) {
    return SettingsFile::parse(content).portName;
}
}  // namespace

TEST(SettingsFile, ThePortLineIsReadByTheFilesRules) {
    EXPECT_EQ("COM12", portFrom("COM=12;\r\n"));
    EXPECT_EQ("COM5", portFrom("com=5;\n"));
    EXPECT_EQ("COM5", portFrom("COM=COM5;\r\n"));
    EXPECT_EQ("COM4", portFrom("; comment\r\nCOM=4;\r\n"));
    EXPECT_EQ("COM3", portFrom("/ COM=9;\n\r\nCOM=3;"));       // last line without LF
    EXPECT_EQ("COM8", portFrom("COM=2;\nPORT=6;\nCOM=8;\n"));  // the last port line wins
    EXPECT_EQ("COM1", portFrom("[section]\nbaud=9600\n"));
    EXPECT_EQ("COM41", portFrom("COM=41;\r\n"));  // kept as read; opening it uses COM1
    EXPECT_EQ("COMX", portFrom("COM=x; trailing\r\n"));
}

TEST(SettingsFile, APortLineWithoutANumberFallsBackToCom1AndAsksForARewrite) {
    for (const char* content : {"COM=;\r\n", "COM=7\r\n", "COM\n", "COM===\n"}) {
        const auto reading = SettingsFile::parse(content);
        EXPECT_EQ("COM1", reading.portName) << content;
        EXPECT_TRUE(reading.rewrite) << content;
    }
    EXPECT_FALSE(SettingsFile::parse("COM=7;\r\n").rewrite);
}

TEST(SettingsFile, AMissingOrEmptyFileIsWrittenWithCom1) {
    TempFolder folder;
    const auto path = folder.path() / "vive1939.ini";
    EXPECT_EQ("COM1", SettingsFile(path).read().portName);
    EXPECT_EQ("COM=1;\r\n", fileText(path));
    writeFile(path, "");
    EXPECT_EQ("COM1", SettingsFile(path).read().portName);
    EXPECT_EQ("COM=1;\r\n", fileText(path));
}

TEST(SettingsFile, UnusableFilesStillGiveAWorkingPort) {
    TempFolder folder;
    // A folder where the file should be: nothing can be read or written.
    const auto folderInTheWay = folder.path() / "vive1939.ini";
    std::filesystem::create_directory(folderInTheWay);
    EXPECT_EQ("COM1", SettingsFile(folderInTheWay).read().portName);
    EXPECT_FALSE(SettingsFile(folderInTheWay).write("COM3"));

    // A file where its folder should be: it can be neither opened nor created.
    writeFile(folder.path() / "plain", "x");
    const auto impossible = folder.path() / "plain" / "vive1939.ini";
    EXPECT_EQ("COM1", SettingsFile(impossible).read().portName);
    EXPECT_FALSE(SettingsFile(impossible).write("COM3"));

    // Binary noise reads as no port line at all.
    std::string noise;
    for (int i = 0; i < 4096; ++i) {
        noise += static_cast<char>((i * 7919) % 256);
    }
    writeFile(folder.path() / "noise.ini", noise);
    EXPECT_NO_THROW(SettingsFile(folder.path() / "noise.ini").read());
}

TEST(SettingsFile, ReadingStopsAfter65535Bytes) {
    TempFolder folder;
    const auto path = folder.path() / "vive1939.ini";
    // The ';' that completes the last port line is byte 65535: read.
    std::string content = "COM=6;\r\n" + std::string(65520, ';') + "\nCOM=9;";
    ASSERT_EQ(content.size(), 65535u);
    writeFile(path, content);
    EXPECT_EQ("COM9", SettingsFile(path).read().portName);
    // Here it is byte 65536: not read, so the line has no number and COM1 stands.
    content = "COM=6;\r\n" + std::string(65521, ';') + "\nCOM=9;";
    ASSERT_EQ(content.size(), 65536u);
    writeFile(path, content);
    EXPECT_EQ("COM1", SettingsFile(path).read().portName);
}

TEST(SettingsFile, TheSessionRewritesTheWholeFileSoTheNewPortWinsNextTime) {
    CoreRig rig;
    writeFile(rig.settingsPath, "; a long comment line about this bench\r\nCOM=4;\r\n");
    rig.core.startSession();
    EXPECT_EQ("COM4", rig.view.panel.portName);

    rig.tick();
    EXPECT_EQ(4, rig.serial.port);
    rig.view.panel.portName = "COM7";  // the operator picks another port and connects
    rig.core.connect();
    rig.serial.receive("ACK REVD\r\n" + linetest::identification(1, 0x01));
    rig.tick();
    EXPECT_EQ("COM=7;\r\n", fileText(rig.settingsPath));

    CoreRig next;
    writeFile(next.settingsPath, fileText(rig.settingsPath));
    next.core.startSession();
    EXPECT_EQ("COM7", next.view.panel.portName);
}

TEST(SettingsFile, ATypedPortNameIsSavedAsTyped) {
    CoreRig rig;
    rig.core.startSession();
    rig.view.panel.portName = "COM41";
    rig.tick();
    EXPECT_EQ(1, rig.serial.port);
    rig.serial.receive(linetest::identification(1, 0x01));  // even a refused one marks it
    rig.tick();
    EXPECT_EQ("COM=41;\r\n", fileText(rig.settingsPath));
}

TEST(SettingsFile, APortLineWithoutNumberIsRepairedAtTheFirstTick) {
    CoreRig rig;
    writeFile(rig.settingsPath, "COM=7\r\n");
    rig.core.startSession();
    EXPECT_EQ("COM1", rig.view.panel.portName);
    EXPECT_TRUE(rig.core.session().settingsDirty);
    rig.tick();
    EXPECT_EQ("COM=1;\r\n", fileText(rig.settingsPath));
    EXPECT_FALSE(rig.core.session().settingsDirty);
}

TEST(SettingsLocation, BesideAProgramOfItsOwnFolderElseInTheUsersConfigFolder) {
    auto always = [](const std::filesystem::path&) { return true; };
    auto never = [](const std::filesystem::path&) { return false; };
    const std::string config = "/home/u/.config/Tessaly/vive1939.ini";
    struct Case {
        const char* program;
        bool (*writable)(const std::filesystem::path&);
        std::string file;
        std::string former;
    };
    const Case cases[] = {
        // A build folder or an unpacked copy: beside the program. The removal is by character
        // set: it stops at the separator, not inside the folder "sally".
        {"/home/u/src/build/terminal/Tessaly", always, "/home/u/src/build/terminal/vive1939.ini",
         ""},
        {"/srv/sally/Tessaly", always, "/srv/sally/vive1939.ini", ""},
        // Under another file name the folder is still the program's own.
        {"/home/u/bin/tessaly-dev", always, "/home/u/bin/vive1939.ini", ""},
        // Installed: never beside the program, however writable its folder is (root).
        {"/usr/bin/Tessaly", always, config, "/home/u/.config/vive1939.ini"},
        {"/usr/local/bin/Tessaly", always, config, "/home/u/.config/vive1939.ini"},
        {"/opt/vell/bin/Tessaly", always, config, "/home/u/.config/vive1939.ini"},
        {"/usr/bin/tessaly-dev", always, config, "/home/u/.config/vive1939.ini"},
        // A copy in a folder the user cannot write.
        {"/media/cd/Tessaly", never, config, "/home/u/.config/vive1939.ini"},
    };
    for (const Case& c : cases) {
        const auto place = terminal::settingsPlaceFor(c.program, "/home/u/.config", c.writable);
        EXPECT_EQ(c.file, place.file.string()) << c.program;
        EXPECT_EQ(c.former, place.formerFile.string()) << c.program;
    }

    TempFolder folder;
    EXPECT_TRUE(terminal::folderIsWritable(folder.path()));
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "vive1939.ini"));  // probe removed
    writeFile(folder.path() / "plain", "x");
    EXPECT_FALSE(terminal::folderIsWritable(folder.path() / "plain"));
}

TEST(SettingsLocation, AFileAtTheFormerPlaceIsReadUntilTheNewOneExists) {
    TempFolder config;
    const auto former = config.path() / "vive1939.ini";
    const auto file = config.path() / "Tessaly" / "vive1939.ini";
    writeFile(former, "COM=7;\r\n");

    const SettingsFile settings(file, former);
    const SettingsFile::Reading first = settings.read();
    EXPECT_EQ("COM7", first.portName);
    EXPECT_TRUE(first.rewrite);           // saved in the new place at the first tick
    EXPECT_TRUE(settings.write("COM7"));  // the folder is made on the way
    EXPECT_EQ("COM=7;\r\n", fileText(file));

    writeFile(former, "COM=9;\r\n");
    const SettingsFile::Reading next = settings.read();
    EXPECT_EQ("COM7", next.portName);
    EXPECT_FALSE(next.rewrite);
    EXPECT_EQ("COM=9;\r\n", fileText(former));  // left as it was
}

// Each of these once froze the window in open() or read a device as settings.
TEST(SettingsFile, WhatIsNoRegularFileCountsAsOneThatCannotBeOpened) {
    TempFolder folder;
    const auto fifo = folder.path() / "fifo.ini";
    ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
    const auto device = folder.path() / "device.ini";
    std::filesystem::create_symlink("/dev/zero", device);
    for (const auto& path : {fifo, device}) {
        const SettingsFile::Reading reading = SettingsFile(path).read();
        EXPECT_EQ("COM1", reading.portName) << path;
        EXPECT_FALSE(reading.rewrite) << path;
        EXPECT_FALSE(SettingsFile(path).write("COM3")) << path;
        // Neither is replaced by a file.
        EXPECT_FALSE(std::filesystem::is_regular_file(path)) << path;
    }
    // As the former place too.
    const auto file = folder.path() / "new" / "vive1939.ini";
    EXPECT_EQ("COM1", SettingsFile(file, fifo).read().portName);
    EXPECT_EQ("COM=1;\r\n", fileText(file));
}
