// What a program settles before its application object exists: a private runtime folder
// when the session gave none, and whether a window can reach a display at all.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <QtGlobal>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/app/qt/DisplayCheck.h"
#include "platform/app/qt/RuntimeFolder.h"

namespace {

// Sets variables for one test and puts the former values back.
class ScopedEnvironment {
public:
    void set(const char* name, const std::optional<std::string>& value) {
        if (former_.count(name) == 0) {
            former_[name] = qEnvironmentVariableIsSet(name)
                                ? std::optional<QByteArray>(qgetenv(name))
                                : std::nullopt;
        }
        if (value) {
            qputenv(name, QByteArray::fromStdString(*value));
        } else {
            qunsetenv(name);
        }
    }
    ~ScopedEnvironment() {
        for (const auto& [name, value] : former_) {
            if (value) {
                qputenv(name.c_str(), *value);
            } else {
                qunsetenv(name.c_str());
            }
        }
    }

private:
    std::map<std::string, std::optional<QByteArray>> former_;
};

unsigned modeOf(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

TEST(RuntimeFolder, IsTheUsualFolderWhenItIsPrivateAndOursElseAFreshOne) {
    const struct {
        const char* name;
        void (*prepare)(const std::string& usual);
        bool usualTaken;
    } cases[] = {
        {"nothing there yet", [](const std::string&) {}, true},
        {"our folder, open to others",
         [](const std::string& usual) {
             ::mkdir(usual.c_str(), 0755);
             ::chmod(usual.c_str(), 0755);
         },
         true},
        {"a link to a folder",
         [](const std::string& usual) {
             ::mkdir((usual + "-target").c_str(), 0700);
             ::symlink((usual + "-target").c_str(), usual.c_str());
         },
         false},
        {"a plain file", [](const std::string& usual) { ::close(::creat(usual.c_str(), 0600)); },
         false},
        {"another user's folder",
         [](const std::string& usual) {
             ::mkdir(usual.c_str(), 0700);
             // Only root can give a folder away; as anyone else the case is a fresh folder too.
             if (::chown(usual.c_str(), 4242, 4242) != 0) {
                 ::rmdir(usual.c_str());
                 ::close(::creat(usual.c_str(), 0600));
             }
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir temp;
        ASSERT_TRUE(temp.isValid());
        const std::string usual = temp.path().toStdString() + "/runtime-bench";
        c.prepare(usual);
        const std::string folder =
            platform::privateRuntimeFolder(temp.path().toStdString(), "bench");
        if (c.usualTaken) {
            EXPECT_EQ(folder, usual);
        } else {
            EXPECT_EQ(folder.rfind(usual + "-", 0), 0u) << folder;
        }
        EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::symlink_status(folder)));
        EXPECT_EQ(modeOf(folder), 0700u);
    }
}

TEST(RuntimeFolder, IsProvidedOnlyWhenTheSessionGaveNoUsableOne) {
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const std::string tmp = temp.path().toStdString();
    const struct {
        std::optional<std::string> given;
        bool replaced;
    } cases[] = {
        {std::nullopt, true},
        {"", true},
        {"run/user", true},
        {"/run/user/4242", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given.value_or("(unset)"));
        ScopedEnvironment environment;
        environment.set("TMPDIR", tmp + "/");
        environment.set("XDG_RUNTIME_DIR", c.given);
        platform::providePrivateRuntimeFolder();
        const std::string now = qgetenv("XDG_RUNTIME_DIR").toStdString();
        if (c.replaced) {
            EXPECT_EQ(now.rfind(tmp + "/runtime-", 0), 0u) << now;
            EXPECT_EQ(modeOf(now), 0700u);
        } else {
            EXPECT_EQ(now, *c.given);
        }
    }
}

TEST(DisplayCheck, AWindowNeedsTheDisplayOfThePlatformQtWillLoad) {
    using Env = std::optional<std::string>;
    const struct {
        const char* name;
        Env platform;
        Env display;
        Env wayland;
        Env session;
        std::vector<const char*> arguments;
        bool configured;
    } cases[] = {
        {"nothing set", {}, {}, {}, {}, {}, false},
        {"empty DISPLAY", {}, "", {}, {}, {}, false},
        {"an X display", {}, ":0", {}, {}, {}, true},
        {"a wayland display", {}, {}, "wayland-0", {}, {}, true},
        {"a wayland session", {}, {}, {}, "wayland", {}, true},
        {"offscreen", "offscreen", {}, {}, {}, {}, true},
        {"vnc with options", "vnc:size=800x600", {}, {}, {}, {}, true},
        {"xcb asked for by name", "xcb", {}, "wayland-0", {}, {}, false},
        {"a list with one that works", "wayland;xcb", ":1", {}, {}, {}, true},
        {"-platform over the variable", "xcb", {}, {}, {}, {"-platform", "offscreen"}, true},
        {"--platform too", "offscreen", {}, {}, {}, {"--platform", "xcb"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedEnvironment environment;
        environment.set("QT_QPA_PLATFORM", c.platform);
        environment.set("DISPLAY", c.display);
        environment.set("WAYLAND_DISPLAY", c.wayland);
        environment.set("XDG_SESSION_TYPE", c.session);
        std::vector<char*> argv{const_cast<char*>("Tessaly")};
        for (const char* argument : c.arguments) {
            argv.push_back(const_cast<char*>(argument));
        }
        EXPECT_EQ(platform::displayConfigured(static_cast<int>(argv.size()), argv.data()),
                  c.configured);
    }
}

}  // namespace
