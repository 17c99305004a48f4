#include "terminal/scripting/JsonLine.h"

#include "terminal/recording/ExportNumber.h"

#include <cmath>

namespace terminal::headless {

namespace {

// Length of the valid UTF-8 sequence at the start of `text`, 0 when it is not one.
std::size_t utf8Length(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    std::uint32_t lowest = 0;
    if (lead < 0x80) {
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        lowest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        lowest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        lowest = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    std::uint32_t code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(i) & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code < lowest || code > 0x10FFFF || surrogate ? 0 : length;
}

}  // namespace

std::string jsonString(std::string_view text) {
    static constexpr char hex[] = "0123456789abcdef";
    std::string out = "\"";
    while (!text.empty()) {
        const unsigned char c = static_cast<unsigned char>(text.front());
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 0xF];
        } else if (c >= 0x80) {
            const std::size_t length = utf8Length(text);
            if (length == 0) {
                out += "\\ufffd";
                text.remove_prefix(1);
                continue;
            }
            out += text.substr(0, length);
            text.remove_prefix(length);
            continue;
        } else {
            out += static_cast<char>(c);
        }
        text.remove_prefix(1);
    }
    out += '"';
    return out;
}

std::string jsonNumber(double value) {
    // JSON has no text for NaN or infinity.
    return std::isfinite(value) ? exportNumber(value) : "null";
}

void JsonObject::addKey(std::string_view key) {
    if (!members_.empty()) {
        members_ += ',';
    }
    members_ += jsonString(key);
    members_ += ':';
}

JsonObject& JsonObject::addText(std::string_view key, std::string_view text) {
    addKey(key);
    members_ += jsonString(text);
    return *this;
}

JsonObject& JsonObject::addBool(std::string_view key, bool value) {
    addKey(key);
    members_ += value ? "true" : "false";
    return *this;
}

JsonObject& JsonObject::addNumber(std::string_view key, double value) {
    addKey(key);
    members_ += jsonNumber(value);
    return *this;
}

JsonObject& JsonObject::addInteger(std::string_view key, std::int64_t value) {
    addKey(key);
    members_ += std::to_string(value);
    return *this;
}

JsonObject& JsonObject::addObject(std::string_view key, const JsonObject& object) {
    addKey(key);
    members_ += object.text();
    return *this;
}

JsonObject& JsonObject::addObjects(std::string_view key, const std::vector<JsonObject>& objects) {
    addKey(key);
    members_ += '[';
    for (const JsonObject& object : objects) {
        if (members_.back() != '[') {
            members_ += ',';
        }
        members_ += object.text();
    }
    members_ += ']';
    return *this;
}

}  // namespace terminal::headless
