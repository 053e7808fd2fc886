// Checksums of installed files: the CRC-32 digest and its hexadecimal record under the
// Diagnostics key, read back through the real files and registry.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "sys/checksum.h"
#include "tests/win/sys_test_support.h"

namespace {

constexpr char kDiagnosticsKey[] = "Software\\Xelta\\Z614\\Diagnostics";

std::string HexOf(const ChecksumContext& context) {
  char text[64];
  return ChecksumToHex(context, text, sizeof text) ? text : "";
}

TEST(FileChecksum, RecordsTheStandardCrc32OfTheWholeFile) {
  const std::string folder = MakeScratchFolder("checksum");
  struct Case {
    const char* name;
    std::string content;
    const char* hex;
  } const cases[] = {
      {"digits.txt", "123456789", "CBF43926"},
      {"empty.txt", "", "00000000"},
      // Longer than one eight-byte step and not a multiple of it.
      {"sentence.txt", "The quick brown fox jumps over the lazy dog", "414FA339"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder + "\\" + c.name;
    ASSERT_TRUE(WriteTestFile(path, c.content));
    ChecksumContext context;
    ASSERT_EQ(FileChecksum(path.c_str(), context), 1);
    EXPECT_EQ(context.length, 4u);
    EXPECT_EQ(HexOf(context), c.hex);
  }
  DeleteFolderTree(folder.c_str());
}

TEST(FileChecksum, DigestIsLittleEndianAndHexIsMostSignificantFirst) {
  ChecksumContext context;
  ASSERT_EQ(ComputeChecksum("123456789", 9, context), 1);
  const unsigned char expected[4] = {0x26, 0x39, 0xF4, 0xCB};
  EXPECT_EQ(std::memcmp(context.digest, expected, 4), 0);
  EXPECT_EQ(HexOf(context), "CBF43926");
}

TEST(FileChecksum, MissingFileGivesNoDigest) {
  ChecksumContext context;
  EXPECT_EQ(FileChecksum("C:\\z614\\sys\\no-such-file.bin", context), 0);
  EXPECT_EQ(context.length, 0u);
}

TEST(ComputeChecksum, UnknownAlgorithmLeavesTheContextAlone) {
  ChecksumContext context;
  context.algorithm = 21;
  context.length = 3;
  std::memset(context.digest, 0xAB, sizeof context.digest);
  EXPECT_EQ(ComputeChecksum("123456789", 9, context), 0);
  EXPECT_EQ(context.length, 3u);
  for (unsigned char byte : context.digest) EXPECT_EQ(byte, 0xAB);
}

TEST(ChecksumToHex, RefusesATextThatDoesNotFit) {
  ChecksumContext context;
  ASSERT_EQ(ComputeChecksum("123456789", 9, context), 1);
  char text[8];  // eight digits need nine bytes
  EXPECT_EQ(ChecksumToHex(context, text, sizeof text), 0);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(ChecksumToHex(ChecksumContext{}, text, sizeof text), 0);  // nothing computed yet
}

TEST(WriteChecksumValue, StoresTheHexTextUnderTheDiagnosticsKey) {
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, kDiagnosticsKey);
  ChecksumContext context;
  ASSERT_EQ(ComputeChecksum("123456789", 9, context), 1);
  const char* const file = "C:\\Program Files\\Xelta\\Xelta Z614\\Z614UI.exe";
  EXPECT_EQ(WriteChecksumValue(kDiagnosticsKey, file, context), 1);

  const RegistryValue value = ReadMachineValue(kDiagnosticsKey, file);
  ASSERT_TRUE(value.present);
  EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
  // Eight bytes are written; the registry itself may add the terminator that was left out.
  EXPECT_STREQ(value.data.c_str(), "CBF43926");
  EXPECT_LE(value.data.size(), 9u);
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, kDiagnosticsKey);
}

TEST(WriteChecksumValue, WritesNothingWithoutADigest) {
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, kDiagnosticsKey);
  EXPECT_EQ(WriteChecksumValue(kDiagnosticsKey, "C:\\a.txt", ChecksumContext{}), 0);
  EXPECT_FALSE(MachineKeyExists(kDiagnosticsKey));
}

}  // namespace
