#pragma once
// A temporary port-map folder put in place through COMPORTS_DIR for the life of a test, and
// the environment variables the port map reads, restored afterwards.

#include <stdlib.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace testing_support {

// Sets or unsets environment variables and puts the old values back when it goes.
class EnvironmentGuard {
public:
    ~EnvironmentGuard() {
        for (const auto& [name, value] : saved_) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
    }
    void set(const std::string& name, const std::string& value) {
        remember(name);
        setenv(name.c_str(), value.c_str(), 1);
    }
    void unset(const std::string& name) {
        remember(name);
        unsetenv(name.c_str());
    }

private:
    void remember(const std::string& name) {
        if (saved_.count(name) == 0) {
            const char* value = getenv(name.c_str());
            saved_[name] = value ? std::optional<std::string>(value) : std::nullopt;
        }
    }
    std::map<std::string, std::optional<std::string>> saved_;
};

class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tessaly-test-XXXXXX").string();
        if (mkdtemp(pattern.data())) {
            path_ = pattern;
        }
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

class ComPortFolder {
public:
    ComPortFolder() { environment_.set("COMPORTS_DIR", folder_.path().string()); }
    const std::filesystem::path& path() const { return folder_.path(); }
    void link(const std::string& name, const std::filesystem::path& target) {
        std::filesystem::create_symlink(target, folder_.path() / name);
    }

private:
    TemporaryFolder folder_;
    EnvironmentGuard environment_;
};

}  // namespace testing_support
