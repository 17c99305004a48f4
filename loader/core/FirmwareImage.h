#pragma once
// The loader's source of bytes: the chosen firmware file, its type by name, and the byte at
// each offset in the form it goes on the line. The file is never loaded whole: every byte is
// read from the file when it is sent, so a run always sends the file as it is now.

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

#include "loader/core/ScrambleFormat.h"
#include "loader/core/SessionRandom.h"

namespace loader {

// The open-file dialog as the loader asks for it; the window turns it into a real dialog.
struct OpenFileRequest {
    // Pairs of description and pattern, the first one selected.
    static constexpr const char* filters =
        "Vlf Files (*.Vlf)|*.Vlf|Hex Files (*.hex)|*.hex|All Files (*.*)|*.*||";
    static constexpr const char* defaultExtension = "vlf";
    static constexpr const char* initialName = "*.vlf";
    static constexpr bool fileMustExist = true;
    static constexpr bool hideReadOnly = true;
};

// Runs the open-file dialog: the full path on OK, nothing on Cancel.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    virtual std::optional<std::string> chooseFile(const OpenFileRequest& request) = 0;
};

// The image file cannot be opened or read; the text names the file and the cause.
class ImageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class FirmwareImage {
public:
    // Start bytes: they tell the boot loader which kind of image follows.
    static constexpr std::uint8_t startBytePlain = 0xA5;
    static constexpr std::uint8_t startByteScrambled = 0x5A;  // "Z"

    // Calendar time in whole seconds; seeds the session values.
    using CalendarClock = std::function<std::int64_t()>;

    FirmwareImage();
    explicit FirmwareImage(CalendarClock calendar);
    ~FirmwareImage();
    FirmwareImage(const FirmwareImage&) = delete;
    FirmwareImage& operator=(const FirmwareImage&) = delete;

    // Runs the dialog; on OK takes the file. Returns whether a file was chosen.
    bool choose(FileChooser& chooser);
    // Takes a file by path, as the dialog's OK (and the command line) does.
    void setPath(const std::string& path);

    const std::string& path() const { return path_; }
    const std::string& fileName() const { return fileName_; }
    bool scrambled() const { return scrambled_; }

    // The byte that starts erase and programming for this type of image.
    std::uint8_t startByte() const;

    // Checks the chosen file as open() would, without keeping it open (see ImageCheck);
    // returns its length.
    std::uint32_t check() const;
    // For an image named ".hex" (any case): the first fault of its Intel HEX form, as
    // "fw.hex line 3: record checksum is wrong"; nothing for a sound file or any other name.
    // Throws ImageError when the file cannot be read.
    std::optional<std::string> hexFault() const;
    // Opens the file for reading and returns its length; draws the session values of a
    // scrambled image. Throws ImageError when the file fails the checks of ImageCheck.
    std::uint32_t open();
    // The byte to transmit for file offset `offset`. Throws ImageError when it cannot be read.
    std::uint8_t byteAt(std::uint32_t offset);
    void close();
    bool isOpen() const { return fd_ >= 0; }

    // Boards programmed side by side open their images in the same second, and the same
    // calendar seed would give them the same session values. Each board's image gets its own
    // salt (1 to 31), added to the seed's top byte so two boards never draw the same R1
    // within a second; 0, the default, seeds with the calendar time alone.
    static constexpr std::uint32_t maxSessionSalt = 31;
    void setSessionSalt(std::uint32_t salt) { salt_ = salt & maxSessionSalt; }

    // The session values of the current run (scrambled images).
    std::uint16_t r1() const { return r1_; }
    std::uint16_t r2() const { return r2_; }
    scramble::SessionMask mask() const { return mask_; }

    // True when the file's name ends in exactly "Vlf".
    static bool isScrambledName(const std::string& fileName);

private:
    std::uint8_t readFileByte(std::uint32_t offset);
    void drawSessionValues();
    std::uint8_t transform(std::uint32_t offset, std::uint8_t fileByte);

    CalendarClock calendar_;
    std::uint32_t salt_ = 0;
    SessionRandom random_;
    std::string path_;
    std::string fileName_;
    bool scrambled_ = false;
    int fd_ = -1;
    std::uint8_t firstBytes_[scramble::sessionByteCount] = {};
    std::uint16_t r1_ = 0;
    std::uint16_t r2_ = 0;
    scramble::SessionMask mask_{0, 0};
    scramble::FileKey key_{0, 0};
};

}  // namespace loader
