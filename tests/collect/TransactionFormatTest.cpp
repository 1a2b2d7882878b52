#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "collect/BackupFile.h"
#include "collect/FormatTransaction.h"
#include "collect/TransactionLookups.h"
#include "collect/TransactionRecord.h"
#include "collect/TransactionStore.h"
#include "store/Database.h"
#include "support/MainFixture.h"

namespace korvo {
namespace {

// 24 December 2024, 15:30:01, card field 000408173, direction I, event 00, function 00.
const std::string kRecord = "000408173241224153001I0000";

class TransactionFormat : public test::TMainFixture {
 protected:
  void SetUp() override {
    TMainFixture::SetUp();
    dm->ADOC.Execute("UPDATE tDirMap SET fsDirCode = 'IN' WHERE fcDirFlag = 'I'");
    dm->ADOC.Execute("UPDATE tDirMap SET fsDirCode = 'NF' WHERE fcDirFlag = '00'");
    dm->ADOC.Execute("UPDATE tEventMap SET fsEventCode = 'OK' WHERE fsEventFlag = '00'");
    dm->ADOC.Execute("INSERT INTO tEmployees (fsCardNo, fsIDNo, fsName) VALUES ('408173', 'E-17', 'Zoë Ng')");
  }
  std::string Format(const std::string& format, const std::string& record = kRecord, int digits = 6) {
    TTransactionLookups lookups(dm->ADOC);
    return FormatTransaction({format, lookups, "20"}, digits, "001", record);
  }
};

TEST_F(TransactionFormat, EveryLetterInEitherCase) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"CYMDHNSR", "20241224153001408173"},
      {"cymdhnsr", "20241224153001408173"},
      {"W", "3"},  // a Tuesday: 1 is Sunday
      {"D/M/CY H:N:S,R", "24/12/2024 15:30:01,408173"},
      {"d/m/cy h:n:s,r", "24/12/2024 15:30:01,408173"},
      {"O;E;F;T", "IN;OK;NF;001"},
      {"I|X|i", "E-17|Zoë Ng|E-17"},
      {"#-= ", "#-= "},
  };
  for (const auto& [format, line] : cases) EXPECT_EQ(Format(format), line) << format;
  EXPECT_EQ(Format("R", kRecord, 3), "173");
  EXPECT_EQ(Format("R", kRecord, 0), "");
  EXPECT_EQ(Format("R", kRecord, 20), "000408173");
}

TEST_F(TransactionFormat, UnknownKeysGiveTheRawTextOrNothing) {
  const std::string record =
      "000999999241224153001Z0701";  // no cardholder, direction Z, event 07, function 01
  EXPECT_EQ(Format("[I][X]O,E,F", record), "[][]Z,07,01");
  EXPECT_EQ(Format("R", "12345"), "12345") << "a short record reads what it has";
  EXPECT_EQ(Format("YMD", "12345"), "");
}

TEST_F(TransactionFormat, OnlyTheWeekdayFailsOnABadDate) {
  const std::string record = "000408173300224153001I0000";  // 30 February
  EXPECT_EQ(Format("CYMD", record), "20240230");
  EXPECT_THROW(Format("W", record), TRecordDateError);
  EXPECT_EQ(RecordWeekday("20", "23", "12", "31"), 1);
  EXPECT_EQ(RecordWeekday("20", "2x", "12", "31"), 0);
}

TEST_F(TransactionFormat, TheStoredRowMapsDirectionAndFunctionButNotTheEvent) {
  TTransactionLookups lookups(dm->ADOC);
  TTransactionStore store(dm->ADOC, lookups, "20", false);
  EXPECT_TRUE(store.StoreTransaction(kRecord, 6, "001"));
  TQuery q(dm->ADOC);
  q.SetSQL("SELECT * FROM tActivities");
  q.Open();
  ASSERT_EQ(q.RecordCount(), 1);
  std::vector<std::string> row;
  for (int i = 0; i < q.FieldCount(); ++i) row.push_back(q.Field(i).AsString());
  EXPECT_EQ(row, (std::vector<std::string>{"408173", "2024-12-24 15:30:01", "IN", "00", "001", "NF"}));

  // An impossible date is refused by the database, and a quote in the card field is stored as it is.
  EXPECT_THROW(store.StoreTransaction("000408173300224153001I0000", 6, "001"), TDbError);
  EXPECT_TRUE(store.StoreTransaction("O'Neil'00241224153001I0000", 9, "001"));
  q.SetSQL("SELECT fsCardNo FROM tActivities WHERE fsCardNo = ?", {TextValue("O'Neil'00")});
  q.Open();
  EXPECT_EQ(q.RecordCount(), 1);
}

TEST_F(TransactionFormat, SkippingDuplicatesStoresEachRecordOnce) {
  TTransactionLookups lookups(dm->ADOC);
  TTransactionStore plain(dm->ADOC, lookups, "20", false);
  plain.StoreTransaction(kRecord, 6, "001");
  TTransactionStore careful(dm->ADOC, lookups, "20", true);
  EXPECT_FALSE(careful.StoreTransaction(kRecord, 6, "001"));
  EXPECT_TRUE(careful.StoreTransaction(kRecord, 6, "002")) << "another terminal is another record";
  EXPECT_FALSE(careful.StoreTransaction(kRecord, 6, "002"));
  EXPECT_EQ(careful.Skipped(), 2);
  TQuery q(dm->ADOC);
  q.SetSQL("SELECT * FROM tActivities");
  q.Open();
  EXPECT_EQ(q.RecordCount(), 2);
}

TEST(TransactionRecordTest, FileDatesGoAfterTheCardFieldAndTheEndMarkIsDropped) {
  EXPECT_EQ(InsertFileDate("241224", "1234567"), "1234567241224\r\n");
  EXPECT_EQ(InsertFileDate("241224", "000408173153001I0000 000408174153002O0000 *"),
            "000408173241224153001I0000\r\n000408174241224153002O0000\r\n");
  EXPECT_EQ(InsertFileDate("241224", ""), "");
  EXPECT_EQ(RightDigits("000408173", 6), "408173");
  EXPECT_EQ(RightDigits("73", 6), "73");
  EXPECT_EQ(RightDigits("73", -1), "");
  EXPECT_EQ(CenturyOf(2026), "20");
  EXPECT_EQ(BackupFileName("1", 6, {2024, 12, 24, 15, 30, 1}), "1 6  1224153001.BAK");
  EXPECT_EQ(BackupFileName("192.168.1.5@77", 12, {2024, 1, 2, 3, 4, 5}), "192.168.1.5@77 12  0102030405.BAK");
}

}  // namespace
}  // namespace korvo
