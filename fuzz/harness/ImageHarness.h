#pragma once
// The image reader under arbitrary files. The first input byte picks the type (plain or
// scrambled by name), the rest is the file. Returns what broke, or an empty text: the length
// is the file's, a plain image reads back exactly as stored, a scrambled one the same way in
// two runs with the same session time, and a byte past the end is an ImageError. A file that
// carries no data byte (empty, or a scrambled one of 4 bytes or fewer) is refused at open.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "loader/core/FirmwareImage.h"

namespace fuzzing {

inline std::string runImageReader(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return {};
    }
    const bool scrambled = (data[0] & 1) != 0;
    const std::vector<std::uint8_t> content(data + 1, data + size);

    static const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("image-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::filesystem::path path = folder / (scrambled ? "fw.Vlf" : "fw.hex");
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(content.data()),
                  static_cast<std::streamsize>(content.size()));
    }

    loader::FirmwareImage image{[] { return std::int64_t{1700000000}; }};
    image.setPath(path.string());
    if (image.scrambled() != scrambled) {
        return "the type by name is wrong";
    }
    const bool refusable = content.empty() || (scrambled && content.size() <= 4);
    std::vector<std::uint8_t> firstRun;
    for (int run = 0; run < 2; ++run) {
        std::uint32_t length = 0;
        try {
            length = image.open();
        } catch (const loader::ImageError&) {
            return refusable ? std::string() : "a file with data was refused";
        }
        if (refusable) {
            return "a file without a data byte was opened";
        }
        if (length != content.size()) {
            return "length " + std::to_string(length) + " for a file of " +
                   std::to_string(content.size());
        }
        for (std::uint32_t i = 0; i < length; ++i) {
            const std::uint8_t b = image.byteAt(i);
            if (run == 0) {
                firstRun.push_back(b);
            } else if (firstRun[i] != b) {
                return "byte " + std::to_string(i) + " differs between two runs";
            }
            if (!scrambled && b != content[i]) {
                return "byte " + std::to_string(i) + " not as stored";
            }
        }
        try {
            image.byteAt(length);
            return "a byte past the end was read";
        } catch (const loader::ImageError&) {
        }
        image.close();
    }
    return {};
}

}  // namespace fuzzing
