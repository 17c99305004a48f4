#pragma once
// Reads CSV text as CsvWriter writes it (RFC 4180), piece by piece as it comes from a file:
// fields separated by commas, rows ended by LF or CR LF, a quoted field holding commas,
// doubled quotes and line ends. Lenient where files from elsewhere stray: a quote inside an
// unquoted field is kept as it stands, text after a closing quote joins the field.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace terminal {

class CsvParser {
public:
    using Row = std::vector<std::string>;
    using RowSink = std::function<void(const Row&)>;

    // A row longer than this is dropped whole (counted in droppedRows), so a file that is
    // one endless quoted field costs no more memory than this.
    static constexpr std::size_t maxRowBytes = 1 << 16;

    explicit CsvParser(RowSink sink) : sink_(std::move(sink)) {}

    // The next piece of the text; every row it completes goes to the sink.
    void feed(std::string_view text);
    // The end of the text: a last row without its line end goes to the sink too, unless it
    // stops inside a quoted field (then it is dropped).
    void finish();

    std::size_t droppedRows() const { return droppedRows_; }

private:
    void endField();
    void endRow();

    RowSink sink_;
    Row row_;
    std::string field_;
    std::size_t rowBytes_ = 0;
    bool inQuotes_ = false;
    bool quoteInQuotes_ = false;  // a quote inside quotes: doubled, or the closing one
    bool fieldQuoted_ = false;
    bool oversized_ = false;
    std::size_t droppedRows_ = 0;
};

}  // namespace terminal
