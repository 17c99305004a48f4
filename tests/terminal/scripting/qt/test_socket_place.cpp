// Where the socket is made and what it will not do: a private folder and a private socket,
// nothing but a dead socket ever replaced, only its own socket ever removed.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "terminal/scripting/qt/SocketPlace.h"

namespace {

using terminal::headless::defaultSocketPath;
using terminal::headless::listenAt;
using terminal::headless::ListeningSocket;
using terminal::headless::removeSocketFile;

mode_t modeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

class SocketPlace : public ::testing::Test {
protected:
    ~SocketPlace() override {
        for (const ListeningSocket& made : made_) {
            ::close(made.fd);
        }
    }
    ListeningSocket listen(const std::string& path) {
        made_.push_back(listenAt(path));
        return made_.back();
    }
    std::string in(const std::string& name) const {
        return folder_.filePath(QString::fromStdString(name)).toStdString();
    }

    QTemporaryDir folder_;
    std::vector<ListeningSocket> made_;
};

TEST_F(SocketPlace, TheDefaultIsNamedForThePortInTheRuntimeFolder) {
    EXPECT_EQ(defaultSocketPath("/run/user/1000", "COM7"), "/run/user/1000/tessaly/COM7.sock");
    EXPECT_EQ(defaultSocketPath("/run/user/1000", "/dev/ttyUSB0"),
              "/run/user/1000/tessaly/ttyUSB0.sock");
}

TEST_F(SocketPlace, MadePrivateInAPrivateFolderAndRemovedOnlyIfStillItsOwn) {
    const std::string path = in("runtime/tessaly/COM35.sock");
    const ListeningSocket made = listen(path);
    ASSERT_GE(made.fd, 0) << made.error;
    EXPECT_EQ(modeOf(path), 0600);
    EXPECT_EQ(modeOf(in("runtime/tessaly")), 0700);
    EXPECT_EQ(modeOf(in("runtime")), 0700);
    // Named once it listens: nothing else is left beside it.
    const auto entries = std::distance(std::filesystem::directory_iterator(in("runtime/tessaly")),
                                       std::filesystem::directory_iterator());
    EXPECT_EQ(entries, 1);

    // Another socket put in its place since is not removed; its own is.
    ::unlink(path.c_str());
    const ListeningSocket other = listen(path);
    ASSERT_GE(other.fd, 0) << other.error;
    removeSocketFile(path, made);
    EXPECT_TRUE(std::filesystem::exists(path));
    removeSocketFile(path, other);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(SocketPlace, OnlyADeadSocketIsReplaced) {
    const std::string path = in("COM35.sock");
    const ListeningSocket live = listen(path);
    ASSERT_GE(live.fd, 0) << live.error;
    EXPECT_EQ(listen(path).error, path + ": another Tessaly listens there");

    // The process that made it died: nobody accepts on it any more.
    ::close(live.fd);
    made_.front().fd = -1;
    const ListeningSocket replaced = listen(path);
    EXPECT_GE(replaced.fd, 0) << replaced.error;
    EXPECT_EQ(modeOf(path), 0600);

    const std::string file = in("notes.txt");
    std::ofstream(file) << "keep me\n";
    EXPECT_EQ(listen(file).error, file + " exists and is not a socket: not replaced");
    EXPECT_TRUE(std::filesystem::is_regular_file(file));
}

TEST_F(SocketPlace, AFolderOthersCanReachIsRefused) {
    // Group or others may read, or only pass through: either way not private.
    for (const auto& [mode, text] : {std::pair{0755, "0755"}, {0701, "0701"}, {0710, "0710"}}) {
        const std::string shared = in(std::string("shared") + text);
        ASSERT_EQ(::mkdir(shared.c_str(), 0700), 0);
        ASSERT_EQ(::chmod(shared.c_str(), static_cast<mode_t>(mode)), 0);
        const ListeningSocket refused = listen(shared + "/COM35.sock");
        EXPECT_EQ(refused.fd, -1) << text;
        EXPECT_EQ(refused.error, "the socket's folder " + shared +
                                     " must be a folder of yours with mode 0700 (it is mode " +
                                     text + ")");
        EXPECT_FALSE(std::filesystem::exists(shared + "/COM35.sock")) << text;
    }

    // A path that fits where the name it is made under first would not: made in place.
    std::string nearTheLimit = in("y");
    nearTheLimit.append(100 - nearTheLimit.size(), 'y');
    const ListeningSocket atTheLimit = listen(nearTheLimit);
    EXPECT_GE(atTheLimit.fd, 0) << atTheLimit.error;
    EXPECT_EQ(modeOf(nearTheLimit), 0600);

    const std::string tooLong = in(std::string(120, 'x'));
    EXPECT_EQ(listen(tooLong).error, "the socket path must have 1 to 107 characters");
}

}  // namespace
