// The pre-flight of ".hex" images: every fault named with its line, sound files of every line
// ending passing, and a damaged file reaching the target only when the operator says so.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BootLinkFixture.h"
#include "TempFile.h"
#include "loader/core/IntelHexCheck.h"

using testing_support::BootLinkTest;

namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

struct HexCase {
    const char* name;
    std::string text;
    // The whole verdict; empty for a sound file.
    const char* verdict;
};

const std::vector<HexCase>& hexCases() {
    static const std::vector<HexCase> table = {
        {"sound, LF", ":02000004001FDB\n:10010000214601360121470136007EFE09D2190140\n:00000001FF\n",
         ""},
        {"sound, CR LF",
         ":02000004001FDB\r\n:10010000214601360121470136007EFE09D2190140\r\n:00000001FF\r\n", ""},
        {"sound, empty lines between and after", ":0401200001020304D1\n\n:00000001FF\n\n\r\n\n",
         ""},
        {"sound, lower-case digits, no line end at the close", ":0401200001020304d1\n:00000001ff",
         ""},
        {"sound, CR alone", ":0401200001020304D1\r:00000001FF\r", ""},
        {"every known record type", ":020000021200EA\n:0400000500000100F6\n:00000001FF\n", ""},
        {"bad checksum on line 3",
         ":02000004001FDB\n:10010000214601360121470136007EFE09D2190140\n"
         ":100110002146017E17C20001FF5F16002148011929\n:00000001FF\n",
         "fw.hex line 3: record checksum is wrong"},
        {"bad checksum, CR LF, counted from 1", ":0401200001020304D2\r\n:00000001FF\r\n",
         "fw.hex line 1: record checksum is wrong"},
        {"odd digit count", ":0401200001020304D1\n:040120000102030D1\n:00000001FF\n",
         "fw.hex line 2: the record has an odd number of hexadecimal digits (17)"},
        {"length byte too large", ":0501200001020304D0\n:00000001FF\n",
         "fw.hex line 1: the length byte says 5 data bytes, the record holds 4"},
        {"cut short inside a record",
         ":10010000214601360121470136007EFE09D2190140\n:10011000214601",
         "fw.hex line 2: the length byte says 16 data bytes, the record holds 2"},
        {"unknown type", ":020120060102D4\n:00000001FF\n", "fw.hex line 1: unknown record type 06"},
        {"end record missing", ":0401200001020304D1\n:02000004001FDB\n\n",
         "fw.hex line 3: the end-of-file record is missing (the file may be cut short)"},
        {"data after the end record", ":00000001FF\n:0401200001020304D1\n",
         "fw.hex line 2: something follows the end-of-file record"},
        {"a second end record", ":00000001FF\r\n\r\n:00000001FF\r\n",
         "fw.hex line 3: something follows the end-of-file record"},
        {"a space after the end record", ":00000001FF\n \n",
         "fw.hex line 2: something follows the end-of-file record"},
        {"no colon", ":0401200001020304D1\n0401200001020304D1\n:00000001FF\n",
         "fw.hex line 2: the line does not start with \":\""},
        {"a letter that is no digit", ":04012000010G0304D1\n:00000001FF\n",
         "fw.hex line 1: \"G\" is not a hexadecimal digit"},
        {"a trailing space", ":0401200001020304D1 \n:00000001FF\n",
         "fw.hex line 1: \" \" is not a hexadecimal digit"},
        {"a zero byte", std::string(":04012000\0", 10) + "1020304D1\n:00000001FF\n",
         "fw.hex line 1: byte 0x00 is not a hexadecimal digit"},
        {"a colon alone", ":\n:00000001FF\n",
         "fw.hex line 1: the record is too short (0 bytes; a record has at least 5)"},
        {"binary under a .hex name",
         "\x7F"
         "ELF\x02\x01",
         "fw.hex line 1: the line does not start with \":\""},
    };
    return table;
}

TEST(IntelHexCheck, EveryFaultIsNamedWithItsLineAndSoundFilesPass) {
    testing_support::TempDir dir;
    for (const HexCase& row : hexCases()) {
        SCOPED_TRACE(row.name);
        const std::string path = dir.write("fw.hex", bytesOf(row.text));
        EXPECT_EQ(loader::hexFaultOf(path, "fw.hex").value_or(""), row.verdict);

        // Pieces may end anywhere, even between CR and LF: one byte at a time, the same.
        loader::IntelHexCheck check;
        for (char c : row.text) {
            check.feed(std::string_view(&c, 1));
        }
        const auto fault = check.finish();
        const std::string bytewise =
            fault ? "fw.hex line " + std::to_string(fault->line) + ": " + fault->what : "";
        EXPECT_EQ(bytewise, row.verdict);
    }
}

TEST(IntelHexCheck, OnlyNamesEndingInDotHexInAnyCaseAreChecked) {
    const struct {
        const char* name;
        bool checked;
    } table[] = {
        {"fw.hex", true},   {"FW.HEX", true},  {"fw.Hex", true}, {"a.b.hex", true},
        {"fw.Vlf", false},  {"fw.bin", false}, {"fwhex", false}, {"fw.hex.bak", false},
        {"fw.hexx", false}, {"hex", false},    {"", false},
    };
    for (const auto& row : table) {
        EXPECT_EQ(loader::isHexName(row.name), row.checked) << row.name;
    }
}

TEST_F(BootLinkTest, ADamagedHexFileGoesOnlyWhenTheOperatorSaysSoAndThenAsStored) {
    const std::string damaged = ":0401200001020304D2\r\n:00000001FF\r\n";
    const struct {
        const char* name;
        std::string text;
        bool answer;
        const char* question;
        bool started;
    } table[] = {
        {"fw.hex", damaged, false, "fw.hex line 1: record checksum is wrong", false},
        {"fw.hex", damaged, true, "fw.hex line 1: record checksum is wrong", true},
        {"FW.HEX", ":0401200001020304D1\n", false,
         "FW.HEX line 2: the end-of-file record is missing (the file may be cut short)", false},
        {"fw.hex", ":0401200001020304D1\n:00000001FF\n", false, "", true},
        {"fw.bin", damaged, false, "", true},
        {"fw.Vlf", damaged, false, "", true},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(std::string(row.name) + (row.answer ? " answered yes" : ""));
        observer.programDamaged = row.answer;
        observer.damagedQuestions.clear();
        observer.messages.clear();
        startProgramming(row.name, bytesOf(row.text));
        EXPECT_EQ(observer.damagedQuestions.empty() ? "" : observer.damagedQuestions[0],
                  row.question);
        EXPECT_TRUE(observer.messages.empty());
        EXPECT_EQ(link.programming(), row.started);
        if (!row.started) {
            EXPECT_TRUE(serial.written.empty()) << "the start byte went out";
            EXPECT_TRUE(link.identified()) << "the run stays Identified";
            continue;
        }
        serial.receive(bytes({image.startByte(), 0x00, 0x00}));
        serial.receive(bytes({0x00}));
        const auto sent = echoUntilFinished();
        if (!image.scrambled()) {
            EXPECT_EQ(sent, bytesOf(row.text)) << "the bytes went as stored";
        }
        EXPECT_TRUE(observer.lastProgrammed);
    }
}

}  // namespace
