#pragma once
// Opens a firmware image without ever blocking and checks it before a byte of it is used:
// it must be a readable, non-empty regular file shorter than 4 GiB, and a scrambled image
// must hold more than its four session bytes. Used when Program is pressed (window and
// command line) and again when the write phase opens the file.

#include <cstdint>
#include <string>

namespace loader {

// A checked image: an open descriptor (the caller closes it) and the file's length.
struct CheckedImage {
    int fd = -1;
    std::uint32_t length = 0;
};

// Opens `path` and checks it. Throws ImageError naming the file and the reason.
CheckedImage openCheckedImage(const std::string& path, bool scrambled);

// The same checks, with the file closed again afterwards; the file's length.
std::uint32_t checkImage(const std::string& path, bool scrambled);

}  // namespace loader
