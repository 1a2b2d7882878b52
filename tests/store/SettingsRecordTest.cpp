#include <gtest/gtest.h>

#include "store/SettingsRecord.h"
#include "support/TempFolder.h"

namespace korvo {
namespace {

using test::TTempFolder;

std::string Slice(const std::string& s, std::size_t from, std::size_t len) {
  return s.substr(from, len);
}

TEST(SettingsRecord, NewFileHasTheDefaultBytes) {
  TTempFolder dir;
  TSettingsRecord rec;
  bool created = false;
  ASSERT_TRUE(LoadSettingsFile(dir.File("KORVOSET.DAT"), rec, created));
  EXPECT_TRUE(created);
  std::string bytes = dir.Read("KORVOSET.DAT");
  ASSERT_EQ(bytes.size(), 356u);
  EXPECT_EQ(Slice(bytes, 212, 4), std::string("\x06\x00\x00\x00", 4));
  EXPECT_EQ(Slice(bytes, 216, 8), std::string("\x07VELNARI"));
  EXPECT_EQ(Slice(bytes, 340, 4), std::string("\x00\x4B\x00\x00", 4));
  EXPECT_EQ(Slice(bytes, 344, 5), std::string("\x04"
                                              "8010"));
  // Everything else of a new file is zero: empty strings, flags off, port 0, padding.
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bool isDefault = (i >= 212 && i < 224) || (i >= 340 && i < 349);
    if (!isDefault) {
      EXPECT_EQ(bytes[i], '\0') << "byte " << i;
    }
  }
  EXPECT_EQ(rec.LastLogin(), "VELNARI");
  EXPECT_EQ(rec.ModemSpeed(), 19200);
  EXPECT_EQ(rec.OnlinePort(), "8010");
}

TEST(SettingsRecord, ShortOrEmptyFileReadsAsZeros) {
  TTempFolder dir;
  for (std::string content : {std::string(), std::string(355, '\x05')}) {
    dir.Write("KORVOSET.DAT", content);
    TSettingsRecord rec;
    bool created = true;
    ASSERT_TRUE(LoadSettingsFile(dir.File("KORVOSET.DAT"), rec, created));
    EXPECT_FALSE(created);
    EXPECT_FALSE(rec.PasswordRequired());
    EXPECT_EQ(rec.ModemSpeed(), 0);
    EXPECT_EQ(rec.OnlinePort(), "");
    EXPECT_EQ(dir.Read("KORVOSET.DAT"), content) << "a short file is not rewritten by reading";
  }
}

TEST(SettingsRecord, ReadsOnlyTheFirstRecordAndKeepsUnknownBytes) {
  TTempFolder dir;
  std::string content(356, '\0');
  content[0] = 3;
  content.replace(1, 3, "1@5");
  content[5] = 'Z';       // beyond the length of CurAddr: kept, never shown
  content[234] = '\x7F';  // reserved, never written by the program
  content[232] = 1;
  content += "trailing record";
  dir.Write("KORVOSET.DAT", content);
  TSettingsRecord rec;
  bool created = false;
  ASSERT_TRUE(LoadSettingsFile(dir.File("KORVOSET.DAT"), rec, created));
  EXPECT_EQ(rec.CurAddr(), "1@5");
  EXPECT_TRUE(rec.PasswordRequired());
  rec.SetImmediateLoading(true);
  ASSERT_TRUE(SaveSettingsFile(dir.File("KORVOSET.DAT"), rec));
  std::string saved = dir.Read("KORVOSET.DAT");
  ASSERT_EQ(saved.size(), 356u);
  EXPECT_EQ(saved[5], 'Z');
  EXPECT_EQ(saved[234], '\x7F');
  EXPECT_EQ(saved[233], '\x01');
  EXPECT_EQ(saved.substr(0, 4), std::string("\x03"
                                            "1@5"));
}

TEST(SettingsRecord, TextsAreCutToTheirFieldAndStoredInWindows1252) {
  TSettingsRecord rec;
  rec.SetCurLocation("Main entrance hall");  // 18 characters into 15
  EXPECT_EQ(rec.CurLocation(), "Main entrance h");
  EXPECT_EQ(rec.Bytes()[157], 15);
  rec.SetCurTermNo("12345");
  EXPECT_EQ(rec.CurTermNo(), "123");
  rec.SetPrevLocation("Caf\xC3\xA9 \xE2\x82\xAC");  // "Café €"
  EXPECT_EQ(rec.Bytes()[173], 6);
  EXPECT_EQ(rec.Bytes()[173 + 4], 0xE9);
  EXPECT_EQ(rec.Bytes()[173 + 6], 0x80);
  EXPECT_EQ(rec.PrevLocation(), "Caf\xC3\xA9 \xE2\x82\xAC");
  rec.SetCurPort(-2);
  EXPECT_EQ(rec.Bytes()[208], 0xFE);
  EXPECT_EQ(rec.Bytes()[211], 0xFF);
  EXPECT_EQ(rec.CurPort(), -2);
}

TEST(SettingsRecord, SaveIntoAMissingFolderFailsWithoutThrowing) {
  TSettingsRecord rec;
  EXPECT_FALSE(SaveSettingsFile("/nonexistent-folder-for-korvo/KORVOSET.DAT", rec));
  bool created = false;
  EXPECT_FALSE(LoadSettingsFile("/nonexistent-folder-for-korvo/KORVOSET.DAT", rec, created));
}

}  // namespace
}  // namespace korvo
