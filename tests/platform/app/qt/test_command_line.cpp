#include "platform/app/qt/CommandLine.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <cstdio>
#include <string>

namespace {

// Collects what the command line prints, as a terminal would see it.
class Capture {
public:
    Capture() : file_(std::tmpfile()) {}
    ~Capture() { std::fclose(file_); }
    std::FILE* file() const { return file_; }
    std::string text() const {
        std::fflush(file_);
        std::rewind(file_);
        std::string text;
        char buffer[512];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, file_)) {
            text.append(buffer, n);
        }
        return text;
    }

private:
    std::FILE* file_;
};

// A command line shaped like the loader's: one argument, an option with a value, a flag.
class CommandLineTest : public ::testing::Test {
protected:
    CommandLineTest() {
        line.addArgument("FILE", "firmware image to choose");
        line.addOption({"port", "port to use", "COMn"});
        line.addOption({"program", "run the steps and exit"});
        line.setEpilogue("Environment:\n  COMPORTS_DIR  folder of the port map\n");
    }
    platform::CommandLine line{"bootloader", "Load firmware.", "[FILE]"};
};

TEST_F(CommandLineTest, HelpListsUsageArgumentsEveryOptionAndTheEpilogueThenExitsZero) {
    Capture out;
    EXPECT_EQ(line.answerInfoRequest(QStringList{"/usr/bin/bootloader", "--help"}, out.file()), 0);
    const std::string text = out.text();
    EXPECT_EQ(text.rfind("Usage: bootloader [OPTION]... [FILE]\nLoad firmware.\n", 0), 0u) << text;
    EXPECT_NE(text.find("  FILE  firmware image to choose\n"), std::string::npos) << text;
    EXPECT_NE(text.find("      --port=COMn"), std::string::npos) << text;
    EXPECT_NE(text.find("      --program"), std::string::npos) << text;
    EXPECT_NE(text.find("  -h, --help"), std::string::npos) << text;
    EXPECT_NE(text.find("      --version"), std::string::npos) << text;
    EXPECT_NE(text.find("\nEnvironment:\n  COMPORTS_DIR"), std::string::npos) << text;
}

TEST_F(CommandLineTest, VersionStartsWithTheProgramNameAndVersion) {
    Capture out;
    EXPECT_EQ(line.answerInfoRequest(QStringList{"bootloader", "--version"}, out.file()), 0);
    const QString first = QString::fromStdString(out.text()).section('\n', 0, 0);
    EXPECT_TRUE(first.contains(QRegularExpression("^bootloader \\d+\\.\\d+\\.\\d+$")))
        << first.toStdString();
}

TEST_F(CommandLineTest, InfoRequestsAreFoundAmongQtsOwnOptionsButNotInsideThem) {
    Capture out;
    EXPECT_EQ(line.answerInfoRequest(QStringList{"bootloader", "-platform", "offscreen", "-h"},
                                     out.file()),
              0);
    // -reverse is Qt's, not a bundle of short options that would include -v.
    EXPECT_EQ(line.answerInfoRequest(QStringList{"bootloader", "-reverse"}, out.file()),
              std::nullopt);
    // A value is a value, and after "--" nothing is an option.
    EXPECT_EQ(line.answerInfoRequest(QStringList{"bootloader", "--port", "--help"}, out.file()),
              std::nullopt);
    EXPECT_EQ(line.answerInfoRequest(QStringList{"bootloader", "--", "--version"}, out.file()),
              std::nullopt);
}

TEST_F(CommandLineTest, ParseAfterTheInfoPassReadsOnlyTheArgumentsGiven) {
    Capture out;
    ASSERT_EQ(line.answerInfoRequest(
                  QStringList{"bootloader", "-platform", "offscreen", "--port", "COM7", "fw.hex"},
                  out.file()),
              std::nullopt);
    ASSERT_TRUE(line.parse(QStringList{"bootloader", "--port=COM3", "fw.Vlf"}, out.file()));
    EXPECT_EQ(line.value("port"), "COM3");
    EXPECT_FALSE(line.isSet("program"));
    EXPECT_EQ(line.positionalArguments(), QStringList{"fw.Vlf"});
    EXPECT_EQ(out.text(), "");
}

TEST_F(CommandLineTest, AUsageErrorNamesTheProgramAndPointsAtHelp) {
    Capture err;
    EXPECT_FALSE(line.parse(QStringList{"bootloader", "--bogus"}, err.file()));
    EXPECT_EQ(err.text(),
              "bootloader: Unknown option 'bogus'.\n"
              "Try 'bootloader --help' for more information.\n");

    Capture missing;
    EXPECT_FALSE(line.parse(QStringList{"bootloader", "--port"}, missing.file()));
    EXPECT_NE(missing.text().find("bootloader: Missing value after '--port'."), std::string::npos)
        << missing.text();
    EXPECT_NE(platform::CommandLine::usageErrorStatus, 0);
}

}  // namespace
