#pragma once
// A small JSON writer for the headless event stream: one object per line, keys in the order
// they are added. Texts are escaped; bytes that are not UTF-8 become U+FFFD, so a device path
// or an error text can never break a line. Numbers that are not finite are written as null.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace terminal::headless {

class JsonObject {
public:
    JsonObject& addText(std::string_view key, std::string_view text);
    JsonObject& addBool(std::string_view key, bool value);
    // The shortest text that reads back as the same number. A value that is exactly a
    // single-precision float is written as that float (77.98, not 77.98000335693359).
    JsonObject& addNumber(std::string_view key, double value);
    JsonObject& addInteger(std::string_view key, std::int64_t value);
    JsonObject& addObject(std::string_view key, const JsonObject& object);
    JsonObject& addObjects(std::string_view key, const std::vector<JsonObject>& objects);

    // "{...}" without a line end.
    std::string text() const { return "{" + members_ + "}"; }

private:
    void addKey(std::string_view key);
    std::string members_;
};

// A JSON string literal, quotes included.
std::string jsonString(std::string_view text);
// A JSON number as addNumber writes it.
std::string jsonNumber(double value);

}  // namespace terminal::headless
