#include "terminal/troublecodes/TroubleCodeNumbers.h"

#include "terminal/troublecodes/MultiPacketTables.h"

namespace terminal {

namespace {

template <typename Rows>
constexpr bool everyRowIsACode(const Rows& rows) {
    for (std::string_view row : rows) {
        if (!troubleCodeOfRow(row)) {
            return false;
        }
    }
    return true;
}

// A fixed row that the reader could not take would vanish from every export: refuse to build.
static_assert(everyRowIsACode(engineDm1MultiPacketRows));
static_assert(everyRowIsACode(engineDm2MultiPacketRows));
static_assert(everyRowIsACode(std::array{
    rows::zero, rows::engineDm1Level0, rows::engineDm1Level1To19, rows::engineDm1Level20,
    rows::engineDm1Level21To39, rows::engineDm1Level40, rows::engineDm1Level41To59,
    rows::engineDm1Level60, rows::engineDm2, rows::transmissionDm1, rows::absDm1}));

constexpr bool isZeroRow(const TroubleCode& code) {
    return code == TroubleCode{};
}

template <std::size_t N>
std::vector<TroubleCode> codesOf(const std::array<std::string_view, N>& rows) {
    std::vector<TroubleCode> codes;
    codes.reserve(N);
    for (std::string_view row : rows) {
        codes.push_back(*troubleCodeOfRow(row));
    }
    return codes;
}

}  // namespace

std::vector<TroubleCode> troubleCodesOfRows(std::string_view rows) {
    std::vector<TroubleCode> codes;
    while (!rows.empty()) {
        const std::size_t end = rows.find('\n');
        const std::string_view row = rows.substr(0, end);
        rows = end == std::string_view::npos ? std::string_view() : rows.substr(end + 1);
        const std::optional<TroubleCode> code = troubleCodeOfRow(row);
        if (code && !isZeroRow(*code)) {
            codes.push_back(*code);
        }
    }
    return codes;
}

std::vector<TroubleCode> troubleCodesShown(TroubleCodeBox box, std::string_view text) {
    if (withoutLineEnd(text) == rows::seeMultiPackets) {
        if (box == TroubleCodeBox::engineDm1) {
            return codesOf(engineDm1MultiPacketRows);
        }
        if (box == TroubleCodeBox::engineDm2) {
            return codesOf(engineDm2MultiPacketRows);
        }
        return {};
    }
    const std::optional<TroubleCode> code = troubleCodeOfRow(text);
    if (!code || isZeroRow(*code)) {
        return {};
    }
    return {*code};
}

}  // namespace terminal
