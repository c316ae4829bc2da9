#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "pseudo_terminal.h"
#include "uploader/port.h"
#include "uploader/uploader.h"

namespace tolvane {
namespace {

std::string Contents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

TEST(DevicePort, OrdinaryFileIsTruncatedAndTakesTheBytesUnchanged) {
    const std::string path = ::testing::TempDir() + "tolvane_dry_run_port.txt";
    std::ofstream(path) << "an earlier dry run that is longer";
    const auto cm = OpenDevicePort(path);
    ASSERT_TRUE(cm);
    EXPECT_FALSE(cm->IsTerminal());
    EXPECT_FALSE(WantsLongPauses(path, *cm));
    for (const char c : std::string("AT\r\xC8\n")) cm->WriteByte(c);
    // Each byte is in the file at once, before the port is closed.
    EXPECT_EQ(Contents(path), "AT\r\xC8\n");
    cm->Close();
}

TEST(DevicePort, PseudoTerminalIsATerminalAndGetsTheLongPauses) {
    testing::PseudoTerminal phone;
    ASSERT_TRUE(phone.Ready());
    const auto cm = OpenDevicePort(phone.SlaveName());
    ASSERT_TRUE(cm);
    EXPECT_TRUE(cm->IsTerminal());
    EXPECT_TRUE(WantsLongPauses(phone.SlaveName(), *cm));
    cm->WriteByte('A');
    cm->WriteByte('\r');
    EXPECT_EQ(phone.Arrived(), "A\r");
}

TEST(DevicePort, NameThatCannotBeOpenedGivesNoPort) {
    EXPECT_FALSE(OpenDevicePort("/no/such/folder/COM1"));
    EXPECT_FALSE(OpenDevicePort(""));
}

}  // namespace
}  // namespace tolvane
