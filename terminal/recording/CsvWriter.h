#pragma once
// A CSV file written row by row (RFC 4180: fields separated by commas, rows ended by CR LF,
// a field holding a comma, quote or line end enclosed in quotes with its quotes doubled),
// each row flushed as it is written.

#include <string>
#include <string_view>
#include <vector>

#include "terminal/recording/FlushedFile.h"

namespace terminal {

// One field as it stands in the file.
std::string csvField(std::string_view text);
// A whole row with its CR LF.
std::string csvRow(const std::vector<std::string>& fields);

class CsvWriter {
public:
    bool open(const std::filesystem::path& path) { return file_.open(path); }
    // False when the row could not be written whole; the file is closed then.
    bool writeRow(const std::vector<std::string>& fields) { return file_.write(csvRow(fields)); }
    void close() { file_.close(); }

    bool isOpen() const { return file_.isOpen(); }
    const std::string& error() const { return file_.error(); }

private:
    FlushedFile file_;
};

}  // namespace terminal
