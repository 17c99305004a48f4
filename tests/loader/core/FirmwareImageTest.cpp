// The firmware image: which files are scrambled, what goes on the line for each offset.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "TempFile.h"
#include "loader/core/FirmwareImage.h"
#include "loader/core/ScrambleFormat.h"
#include "loader/core/SessionRandom.h"

using loader::FirmwareImage;
using loader::ImageError;
using testing_support::sampleBytes;
using testing_support::TempDir;

namespace {

class ScriptedChooser : public loader::FileChooser {
public:
    std::optional<std::string> answer;
    std::string filtersSeen, extensionSeen, initialNameSeen;
    std::optional<std::string> chooseFile(const loader::OpenFileRequest& request) override {
        filtersSeen = request.filters;
        extensionSeen = request.defaultExtension;
        initialNameSeen = request.initialName;
        return answer;
    }
};

FirmwareImage::CalendarClock fixedTime(std::int64_t seconds) {
    return [seconds] { return seconds; };
}

std::vector<std::uint8_t> sendAll(FirmwareImage& image) {
    std::uint32_t length = image.open();
    std::vector<std::uint8_t> out;
    for (std::uint32_t i = 0; i < length; ++i) {
        out.push_back(image.byteAt(i));
    }
    image.close();
    return out;
}

// The mask as the target derives it from the four session bytes it received.
struct TargetMask {
    std::uint8_t d, e;
};
TargetMask maskFromLine(const std::vector<std::uint8_t>& line) {
    std::uint8_t d = static_cast<std::uint8_t>((line[0] * line[1]) ^ line[2]);
    std::uint8_t e = static_cast<std::uint8_t>((line[2] * line[1]) ^ line[3]);
    return {d == 0 ? loader::scramble::maskSubstituteD : d,
            e == 0 ? loader::scramble::maskSubstituteE : e};
}

// Q as the image tool defines it from the file.
std::uint8_t expectedQ(std::uint8_t fileByte, std::uint8_t seed) {
    using namespace loader::scramble;
    std::uint8_t k0 = static_cast<std::uint8_t>((seed * keyMultiplier0) ^ keyMask0);
    std::uint8_t k1 = static_cast<std::uint8_t>((seed * keyMultiplier1) ^ keyMask1);
    if (k0 == 0)
        k0 = keySubstitute0;
    if (k1 == 0)
        k1 = keySubstitute1;
    return static_cast<std::uint8_t>((fileByte ^ k0) - k1);
}

}  // namespace

TEST(FirmwareImageChoice, OnlyANameEndingInExactlyVlfIsScrambled) {
    EXPECT_TRUE(FirmwareImage::isScrambledName("fw.Vlf"));
    EXPECT_TRUE(FirmwareImage::isScrambledName("Vlf"));
    EXPECT_FALSE(FirmwareImage::isScrambledName("fw.vlf"));
    EXPECT_FALSE(FirmwareImage::isScrambledName("fw.VLF"));
    EXPECT_FALSE(FirmwareImage::isScrambledName("fw.hex"));
    EXPECT_FALSE(FirmwareImage::isScrambledName("lf"));

    FirmwareImage image;
    image.setPath("/tmp/sub.Vlf/fw.hex");
    EXPECT_EQ(image.fileName(), "fw.hex");
    EXPECT_FALSE(image.scrambled()) << "the folder's name does not count";
    EXPECT_EQ(image.startByte(), 0xA5);
    image.setPath("/tmp/fw.Vlf");
    EXPECT_TRUE(image.scrambled());
    EXPECT_EQ(image.startByte(), 0x5A);
}

TEST(FirmwareImageChoice, DialogIsAskedForVlfFirstAndCancelKeepsThePreviousChoice) {
    FirmwareImage image;
    ScriptedChooser chooser;
    chooser.answer = "/data/first.Vlf";
    EXPECT_TRUE(image.choose(chooser));
    EXPECT_EQ(chooser.filtersSeen,
              "Vlf Files (*.Vlf)|*.Vlf|Hex Files (*.hex)|*.hex|All Files (*.*)|*.*||");
    EXPECT_EQ(chooser.extensionSeen, "vlf");
    EXPECT_EQ(chooser.initialNameSeen, "*.vlf");

    chooser.answer.reset();
    EXPECT_FALSE(image.choose(chooser));
    EXPECT_EQ(image.path(), "/data/first.Vlf");
    EXPECT_EQ(image.fileName(), "first.Vlf");
    EXPECT_TRUE(image.scrambled());
}

TEST(FirmwareImagePlain, SendsTheFileExactlyAsStoredAndRereadsItEveryRun) {
    TempDir dir;
    auto bytes = sampleBytes(777);
    auto path = dir.write("fw.hex", bytes);
    FirmwareImage image;
    image.setPath(path);
    EXPECT_EQ(sendAll(image), bytes);

    auto changed = sampleBytes(300, 99);
    dir.write("fw.hex", changed);
    EXPECT_EQ(sendAll(image), changed);
}

TEST(FirmwareImagePlain, AMissingFileIsAReadableErrorNamingIt) {
    TempDir dir;
    auto path = dir.write("fw.hex", sampleBytes(10));
    FirmwareImage image;
    image.setPath(path);
    std::filesystem::remove(path);
    try {
        image.open();
        FAIL() << "opening a missing file must fail";
    } catch (const ImageError& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
    EXPECT_FALSE(image.isOpen());
}

TEST(FirmwareImagePlain, AFileThatShrankUnderTheRunFailsToReadInsteadOfInventingBytes) {
    TempDir dir;
    auto path = dir.write("fw.hex", sampleBytes(100));
    FirmwareImage image;
    image.setPath(path);
    ASSERT_EQ(image.open(), 100u);
    std::filesystem::resize_file(path, 10);
    EXPECT_NO_THROW(image.byteAt(9));
    EXPECT_THROW(image.byteAt(50), ImageError);
}

TEST(FirmwareImageScrambled, SessionBytesReplaceTheFirstFourAndQCanBeRecoveredFromTheLine) {
    TempDir dir;
    auto bytes = sampleBytes(4096);
    auto path = dir.write("fw.Vlf", bytes);
    for (std::int64_t seconds : {0LL, 1LL, 1700000000LL, 2147483647LL, 4102444800LL}) {
        FirmwareImage image(fixedTime(seconds));
        image.setPath(path);
        auto line = sendAll(image);
        ASSERT_EQ(line.size(), bytes.size());
        EXPECT_EQ(line[0], image.r1() & 0xFF);
        EXPECT_EQ(line[1], image.r1() >> 8);
        EXPECT_EQ(line[2], image.r2() & 0xFF);
        EXPECT_EQ(line[3], image.r2() >> 8);
        EXPECT_LT(line[1], 0x80);
        EXPECT_LT(line[3], 0x80);
        auto mask = maskFromLine(line);
        for (std::size_t i = 4; i < line.size(); ++i) {
            auto q = static_cast<std::uint8_t>((line[i] ^ mask.e) - mask.d);
            ASSERT_EQ(q, expectedQ(bytes[i], bytes[0])) << "offset " << i << " time " << seconds;
        }
    }
}

TEST(FirmwareImageScrambled, SessionBytesDoNotDependOnTheFilesFirstFourBytes) {
    TempDir dir;
    auto a = sampleBytes(64, 1);
    auto b = a;
    b[0] ^= 0xFF;
    b[1] ^= 0x55;
    b[3] ^= 0x0F;
    FirmwareImage ia(fixedTime(1234)), ib(fixedTime(1234));
    ia.setPath(dir.write("a.Vlf", a));
    ib.setPath(dir.write("b.Vlf", b));
    auto la = sendAll(ia), lb = sendAll(ib);
    EXPECT_TRUE(std::equal(la.begin(), la.begin() + 4, lb.begin()));
    EXPECT_NE(la, lb) << "a different seed byte gives a different file key";
}

TEST(FirmwareImageScrambled, TwoRunsSendTheSameCountButDifferentBytes) {
    TempDir dir;
    auto path = dir.write("fw.Vlf", sampleBytes(512));
    std::int64_t now = 1700000000;
    FirmwareImage image([&now] { return now++; });
    image.setPath(path);
    auto first = sendAll(image);
    auto second = sendAll(image);
    EXPECT_EQ(first.size(), second.size());
    EXPECT_NE(first, second);
}

TEST(FirmwareImageScrambled, BoardsSaltedApartNeverShareSessionBytesWithinASecond) {
    TempDir dir;
    auto path = dir.write("fw.Vlf", sampleBytes(64));
    for (std::int64_t seconds : {0LL, 1700000000LL, 1733665542LL, 4102444800LL}) {
        std::set<std::vector<std::uint8_t>> sessions;
        for (std::uint32_t salt = 1; salt <= 30; ++salt) {
            FirmwareImage image(fixedTime(seconds));
            image.setPath(path);
            image.setSessionSalt(salt);
            auto line = sendAll(image);
            sessions.insert(std::vector<std::uint8_t>(line.begin(), line.begin() + 4));
        }
        EXPECT_EQ(sessions.size(), 30u) << "time " << seconds;
    }
    // Unsalted, a board draws what a single run at that second draws.
    FirmwareImage plain(fixedTime(1700000000)), salted(fixedTime(1700000000));
    plain.setPath(path);
    salted.setPath(path);
    salted.setSessionSalt(0);
    EXPECT_EQ(sendAll(plain), sendAll(salted));
}

TEST(FirmwareImageScrambled, MaskBytesAreNeverZero) {
    TempDir dir;
    auto path = dir.write("fw.Vlf", sampleBytes(8));
    std::set<std::uint8_t> ds;
    for (std::int64_t t = 0; t < 4000; ++t) {
        FirmwareImage image(fixedTime(t));
        image.setPath(path);
        auto line = sendAll(image);
        auto mask = image.mask();
        ASSERT_NE(mask.d, 0);
        ASSERT_NE(mask.e, 0);
        auto fromLine = maskFromLine(line);
        ASSERT_EQ(mask.d, fromLine.d);
        ASSERT_EQ(mask.e, fromLine.e);
        ds.insert(mask.d);
    }
    EXPECT_TRUE(ds.count(loader::scramble::maskSubstituteD))
        << "some session gives a raw D of 0 and must use the substitute";
}

TEST(FirmwareImageScrambled, KeyBytesAreNeverZero) {
    for (int seed = 0; seed < 256; ++seed) {
        auto key = loader::scramble::deriveKey(static_cast<std::uint8_t>(seed));
        ASSERT_NE(key.k0, 0) << seed;
        ASSERT_NE(key.k1, 0) << seed;
    }
}

TEST(FirmwareImageScrambled, AFileOfFourBytesOrFewerIsRefusedForCarryingNoDataByte) {
    TempDir dir;
    FirmwareImage image(fixedTime(42));
    image.setPath(dir.write("tiny.Vlf", {0x11, 0x22}));
    EXPECT_THROW(image.open(), ImageError);
    EXPECT_FALSE(image.isOpen());
}

TEST(FirmwareImageScrambled, AFixedFileAndFixedSessionValuesGiveKnownLineBytes) {
    // Written out by hand, not computed from the format's constants: a changed constant or
    // generator step changes these bytes and fails here.
    TempDir dir;
    FirmwareImage image(fixedTime(1700000000));
    image.setPath(dir.write(
        "known.Vlf", {0x3A, 0x31, 0x30, 0x30, 0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF, 0x55, 0xAA}));
    const std::vector<std::uint8_t> expected = {0x2B, 0x1E, 0xAB, 0x67, 0xC1, 0xC6,
                                                0x54, 0x41, 0xD7, 0xD4, 0x32, 0x6B};
    EXPECT_EQ(sendAll(image), expected);
    EXPECT_EQ(image.r1(), 7723);
    EXPECT_EQ(image.r2(), 26539);
}

TEST(SessionRandom, IsTheSameEverywhereAndStaysInRange) {
    loader::SessionRandom random;
    random.seed(1);
    EXPECT_EQ(random.next(), 16838);
    EXPECT_EQ(random.next(), 5758);
    random.seed(1);
    EXPECT_EQ(random.next(), 16838) << "reseeding restarts the sequence";
    for (int i = 0; i < 100000; ++i) {
        int v = random.next();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, loader::SessionRandom::maxValue);
    }
}
