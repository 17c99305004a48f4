// Images refused before the start byte goes out: each with its reason, nothing sent, the run
// left Identified so that Program can be pressed again.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "BootLinkFixture.h"
#include "loader/core/ImageCheck.h"

using testing_support::BootLinkTest;
using testing_support::sampleBytes;

namespace {

struct Refusal {
    const char* name;
    // Makes the image at the path and returns the path to choose.
    std::function<std::string(const testing_support::TempDir&)> make;
    const char* reason;
};

const std::vector<Refusal>& refusals() {
    static const std::vector<Refusal> table = {
        {"missing", [](auto& dir) { return (dir.path() / "gone.hex").string(); }, "No such file"},
        {"folder",
         [](auto& dir) {
             std::filesystem::create_directory(dir.path() / "folder.hex");
             return (dir.path() / "folder.hex").string();
         },
         "is a folder"},
        {"fifo",
         [](auto& dir) {
             auto path = (dir.path() / "pipe.hex").string();
             ::mkfifo(path.c_str(), 0600);
             return path;
         },
         "pipe (FIFO)"},
        {"device", [](auto&) { return std::string("/dev/null"); }, "is a device"},
        {"empty", [](auto& dir) { return dir.write("empty.hex", {}); }, "is empty"},
        {"three-byte Vlf",
         [](auto& dir) {
             return dir.write("fw.Vlf", {1, 2, 3});
         },
         "carries no data byte"},
        {"four-byte Vlf",
         [](auto& dir) {
             return dir.write("fw.Vlf", {1, 2, 3, 4});
         },
         "carries no data byte"},
    };
    return table;
}

}  // namespace

TEST_F(BootLinkTest, ProgramRefusesABadImageWithItsReasonSendsNothingAndStaysIdentified) {
    for (const Refusal& row : refusals()) {
        SCOPED_TRACE(row.name);
        const std::string path = row.make(dir);
        image.setPath(path);
        connectAndIdentify();
        serial.written.clear();
        observer.messages.clear();
        link.program("COM1", "115200");
        EXPECT_TRUE(serial.written.empty()) << "the start byte went out";
        ASSERT_EQ(observer.messages.size(), 1u);
        EXPECT_NE(observer.messages[0].find(path), std::string::npos) << observer.messages[0];
        EXPECT_NE(observer.messages[0].find(row.reason), std::string::npos) << observer.messages[0];
        EXPECT_TRUE(link.identified());
        EXPECT_FALSE(link.programming());
        // The write phase applies the same checks when it opens the file afresh.
        EXPECT_THROW(image.open(), loader::ImageError);
    }
}

TEST_F(BootLinkTest, AnUnreadableImageIsRefusedWhenNotRoot) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads any file";
    }
    image.setPath(dir.write("locked.hex", sampleBytes(10)));
    std::filesystem::permissions(image.path(), std::filesystem::perms::none);
    connectAndIdentify();
    serial.written.clear();
    link.program("COM1", "115200");
    EXPECT_TRUE(serial.written.empty());
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_NE(observer.messages[0].find("Permission denied"), std::string::npos);
}

TEST_F(BootLinkTest, ImagesThatCarryDataPassTheChecksAndProgramStarts) {
    for (auto [name, size] : {std::pair{"one.bin", 1}, std::pair{"five.Vlf", 5}}) {
        SCOPED_TRACE(name);
        image.setPath(dir.write(name, sampleBytes(static_cast<std::size_t>(size))));
        EXPECT_EQ(loader::checkImage(image.path(), image.scrambled()),
                  static_cast<std::uint32_t>(size));
        connectAndIdentify();
        serial.written.clear();
        link.program("COM1", "115200");
        EXPECT_EQ(serial.written.size(), 1u);
        EXPECT_TRUE(link.programming());
        serial.receive(bytes({0xA5, 0x00, 0x00}));
        serial.receive(bytes({0x00}));
        echoUntilFinished();
        EXPECT_TRUE(observer.lastProgrammed);
    }
}
