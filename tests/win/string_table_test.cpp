// The string table as the setup loads it: exact texts of the messages, escapes turned into
// the characters they stand for, and nothing cut by the 255-character buffers.
#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "sys/module_instance.h"

namespace {

std::string Text(UINT id) {
  char buffer[kTextBufferSize];
  LoadText(id, buffer);
  return buffer;
}

TEST(StringTable, MessagesReadExactly) {
  EXPECT_EQ(Text(IDS_UNSUPPORTED_OS), "Unsupported operating system. You cannot run this application.");
  EXPECT_EQ(Text(IDS_SCRIPT_NOT_FOUND), "Configuration (setup.cnf) file not found.");
  EXPECT_EQ(Text(IDS_MESSAGE_CAPTION), "Xelta Z614");
  EXPECT_EQ(Text(IDS_CANNOT_OPEN_ARCHIVE), "Cannot open the compressed file.");
  EXPECT_EQ(Text(IDS_NOT_ADMINISTRATOR),
            "You do not have administrator rights. These rights are needed to install the Xelta Z614.");
  EXPECT_EQ(Text(IDS_FILE_NOT_IN_PACKAGE), "The file is not in the package: ");
  EXPECT_EQ(Text(IDS_MODEL_NAME), "Z614");
  EXPECT_EQ(Text(IDS_CARD_DEVICE_ID), "Xelta-Z614-D9EE");
}

TEST(StringTable, EscapesBecomeControlCharacters) {
  EXPECT_EQ(Text(IDS_STEP_INSTALL_COMPONENTS), "\tComponents");
  EXPECT_EQ(Text(IDS_ACTION_INSTALLING), "Installing\r\n");
  EXPECT_EQ(Text(IDS_ACTION_STOPPING), "Stopping\n");
  const std::string confirm = Text(IDS_CONFIRM_INSTALL);
  EXPECT_EQ(confirm.substr(0, 92),
            "Installation is not complete. If you exit the wizard now, the program will not be installed.");
  EXPECT_EQ(confirm.substr(92, 2), "\n\n");
}

TEST(StringTable, EveryNumberedStringLoadsWhole) {
  const UINT ids[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 15, 16, 17, 18, 19, 20,
                      21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 37, 38, 39, 42, 43,
                      44, 47, 48, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65,
                      66, 67, 68, 69, 70, 71, 74, 75, 76, 77, 78, 79, 80, 81, 82, 83, 84, 85, 87,
                      88, 89, 90, 91, 92, 93, 94, 95, 96, 97};
  for (UINT id : ids) {
    const std::string text = Text(id);
    EXPECT_FALSE(text.empty()) << "string " << id;
    EXPECT_LT(text.size(), static_cast<size_t>(kTextBufferSize - 1)) << "string " << id << " is cut";
  }
}

TEST(StringTable, SetupIconExists) {
  EXPECT_NE(LoadIconA(instanceHandle, MAKEINTRESOURCEA(IDI_SETUP)), nullptr);
}

}  // namespace
