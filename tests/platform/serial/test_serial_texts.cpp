// The operator's texts for refused serial operations, and the settings they reject.
#include "platform/serial/DeviceAccess.h"
#include "platform/serial/LineSettings.h"
#include "platform/serial/SerialControl.h"
#include "platform/serial/SerialErrorText.h"

#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>

using platform::LineSettings;

namespace {

std::string refusal(const std::string& settings) {
    try {
        platform::parseLineSettings(settings);
    } catch (const platform::SerialError& error) {
        return error.what();
    }
    return {};
}

TEST(LineSettingsText, ReadsEveryPartMSCommAccepts) {
    LineSettings plain = platform::parseLineSettings("115200,n,8,1");
    EXPECT_EQ(plain.baudRate, 115200);
    EXPECT_EQ(plain.parity, LineSettings::Parity::none);
    EXPECT_EQ(plain.dataBits, 8);
    EXPECT_EQ(plain.stopBits, LineSettings::StopBits::one);

    LineSettings odd = platform::parseLineSettings(" 300 , O , 5 , 1.5 ");
    EXPECT_EQ(odd.baudRate, 300);
    EXPECT_EQ(odd.parity, LineSettings::Parity::odd);
    EXPECT_EQ(odd.dataBits, 5);
    EXPECT_EQ(odd.stopBits, LineSettings::StopBits::oneAndHalf);

    EXPECT_EQ(platform::parseLineSettings("9600,m,7,2").parity, LineSettings::Parity::mark);
    EXPECT_EQ(platform::parseLineSettings("9600,s,6,2").stopBits, LineSettings::StopBits::two);
    EXPECT_EQ(platform::parseLineSettings("9600,e,8,1").parity, LineSettings::Parity::even);
}

TEST(LineSettingsText, RefusalsNameThePartThatIsWrong) {
    EXPECT_NE(refusal(",n,8,1").find("baud rate \"\""), std::string::npos);
    EXPECT_NE(refusal("0,n,8,1").find("baud rate \"0\""), std::string::npos);
    EXPECT_NE(refusal("-9600,n,8,1").find("baud rate"), std::string::npos);
    EXPECT_NE(refusal("99999999999999999999,n,8,1").find("too high"), std::string::npos);
    EXPECT_NE(refusal("9600,q,8,1").find("parity \"q\""), std::string::npos);
    EXPECT_NE(refusal("9600,no,8,1").find("parity"), std::string::npos);
    EXPECT_NE(refusal("9600,n,9,1").find("data bits \"9\""), std::string::npos);
    EXPECT_NE(refusal("9600,n,4,1").find("data bits"), std::string::npos);
    EXPECT_NE(refusal("9600,n,8,3").find("stop bits \"3\""), std::string::npos);
    EXPECT_NE(refusal("9600,n,8").find("four parts"), std::string::npos);
    EXPECT_NE(refusal("9600,n,8,1,1").find("four parts"), std::string::npos);
    EXPECT_NE(refusal("").find("four parts"), std::string::npos);
}

TEST(SerialErrorTexts, PermissionDeniedTellsWhichGroupToJoinAndToLogInAgain) {
    std::string text = platform::permissionDeniedText(3, "/dev/ttyUSB0", "dialout");
    EXPECT_NE(text.find("COM3 (/dev/ttyUSB0)"), std::string::npos) << text;
    EXPECT_NE(text.find("\"dialout\""), std::string::npos) << text;
    EXPECT_NE(text.find("usermod -aG dialout"), std::string::npos) << text;
    EXPECT_NE(text.find("log out and in again"), std::string::npos) << text;
    // A root-only node is no matter of joining a group.
    std::string rootOnly = platform::permissionDeniedText(1, "/dev/ttyS0", "root");
    EXPECT_EQ(rootOnly.find("usermod"), std::string::npos) << rootOnly;
    EXPECT_NE(rootOnly.find("administrator"), std::string::npos) << rootOnly;
}

TEST(SerialErrorTexts, NoDeviceSaysHowToMapThePort) {
    platform::ComPortMapping none;
    std::string text = platform::noDeviceText(5, none, "/lab/comports");
    EXPECT_NE(text.find("no serial device for COM5"), std::string::npos) << text;
    EXPECT_NE(text.find("ln -s /dev/serial/by-id/<adapter> /lab/comports/com5"), std::string::npos)
        << text;
}

TEST(DeviceAccess, TheOwningGroupOfANodeIsNamed) {
    struct stat status {};
    ASSERT_EQ(stat("/dev/null", &status), 0);
    const group* entry = getgrgid(status.st_gid);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(platform::deviceGroupName("/dev/null"), entry->gr_name);
    EXPECT_EQ(platform::deviceGroupName("/dev/no-such-device"), "");
    EXPECT_TRUE(platform::permissionAllowsReadWrite("/dev/null"));
}

}  // namespace
