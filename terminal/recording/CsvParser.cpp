#include "terminal/recording/CsvParser.h"

namespace terminal {

void CsvParser::feed(std::string_view text) {
    for (const char c : text) {
        if (++rowBytes_ > maxRowBytes && !oversized_) {
            oversized_ = true;
            row_.clear();
            field_.clear();
        }
        if (inQuotes_) {
            if (quoteInQuotes_) {
                quoteInQuotes_ = false;
                if (c == '"') {
                    if (!oversized_) {
                        field_ += '"';
                    }
                    continue;
                }
                inQuotes_ = false;  // that was the closing quote: c is read as unquoted
            } else if (c == '"') {
                quoteInQuotes_ = true;
                continue;
            } else {
                if (!oversized_) {
                    field_ += c;
                }
                continue;
            }
        }
        if (c == ',') {
            endField();
        } else if (c == '\n') {
            endRow();
        } else if (c == '"' && field_.empty() && !fieldQuoted_) {
            inQuotes_ = true;
            fieldQuoted_ = true;
        } else if (!oversized_) {
            field_ += c;
        }
    }
}

void CsvParser::finish() {
    if (quoteInQuotes_) {
        inQuotes_ = false;
        quoteInQuotes_ = false;
    }
    if (inQuotes_) {
        ++droppedRows_;
    } else if (rowBytes_ > 0) {
        endRow();
    }
    row_.clear();
    field_.clear();
    rowBytes_ = 0;
    inQuotes_ = fieldQuoted_ = oversized_ = false;
}

void CsvParser::endField() {
    if (!oversized_) {
        row_.push_back(std::move(field_));
    }
    field_.clear();
    fieldQuoted_ = false;
}

void CsvParser::endRow() {
    // The CR of a CR LF stands at the end of the last field, after any closing quote.
    if (!field_.empty() && field_.back() == '\r') {
        field_.pop_back();
    }
    endField();
    if (oversized_) {
        ++droppedRows_;
    } else {
        sink_(row_);
    }
    row_.clear();
    rowBytes_ = 0;
    oversized_ = false;
}

}  // namespace terminal
