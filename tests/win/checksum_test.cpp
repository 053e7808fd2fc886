// Checksums of installed files: the CRC-32 digest and its record under the Diagnostics key.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "sys/checksum.h"
#include "tests/win/sys_test_support.h"

namespace {

std::string HexOf(const ChecksumContext& context) {
  char text[64];
  return ChecksumToHex(context, text, sizeof text) ? text : "";
}

TEST(FileChecksum, RecordsTheStandardCrc32OfTheWholeFile) {
  const ScopedScratchFolder scratch("checksum");
  struct Case {
    std::string content;
    const char* hex;
  } const cases[] = {
      {"123456789", "CBF43926"},
      {"", "00000000"},
      // Longer than one eight-byte step and not a multiple of it.
      {"The quick brown fox jumps over the lazy dog", "414FA339"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.content);
    const std::string path = scratch.Path("file.bin");
    ASSERT_TRUE(WriteTestFile(path, c.content));
    ChecksumContext context;
    ASSERT_EQ(FileChecksum(path.c_str(), context), 1);
    EXPECT_EQ(HexOf(context), c.hex);
  }
  ChecksumContext context;
  EXPECT_EQ(FileChecksum(scratch.Path("missing.bin").c_str(), context), 0);
}

TEST(ComputeChecksum, DigestIsLittleEndianAndOtherAlgorithmsLeaveItAlone) {
  ChecksumContext context;
  ASSERT_EQ(ComputeChecksum("123456789", 9, context), 1);
  EXPECT_EQ(context.length, 4u);
  const unsigned char expected[4] = {0x26, 0x39, 0xF4, 0xCB};
  EXPECT_EQ(std::memcmp(context.digest, expected, 4), 0);

  context.algorithm = 21;
  EXPECT_EQ(ComputeChecksum("other", 5, context), 0);
  EXPECT_EQ(std::memcmp(context.digest, expected, 4), 0);
}

TEST(WriteChecksumValue, StoresTheHexTextUnderTheDiagnosticsKey) {
  const char* const key = "Software\\Xelta\\Z614\\Diagnostics";
  const char* const file = "C:\\Program Files\\Xelta\\Xelta Z614\\Z614UI.exe";
  ChecksumContext context;
  ASSERT_EQ(ComputeChecksum("123456789", 9, context), 1);
  EXPECT_EQ(WriteChecksumValue(key, file, context), 1);

  const RegistryValue value = ReadMachineValue(key, file);
  EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
  // Eight bytes are written; the registry itself may add the terminator left out.
  EXPECT_STREQ(value.data.c_str(), "CBF43926");
  EXPECT_LE(value.data.size(), 9u);
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, key);
}

}  // namespace
