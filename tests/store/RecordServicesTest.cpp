#include <gtest/gtest.h>

#include "store/Database.h"
#include "store/RecordServices.h"
#include "store/Schema.h"
#include "support/TempFolder.h"

namespace korvo {
namespace {

using test::TTempFolder;

class RecordServicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db.Create(dir.File("Korvoweb.mdb"));
    InstallSchema(db);
  }
  void AddTimeTables(int count) {
    for (int code = 1; code <= count; ++code)
      db.Execute("INSERT INTO tTimeTable (fnTTCode, fsTTDesc) VALUES (?, ?)", {std::int64_t{code}, "t"});
  }
  void AddHolidays(const std::vector<std::string>& dates) {
    for (const auto& d : dates) db.Execute("INSERT INTO tHoliday VALUES (?, 'x')", {d});
  }
  TTempFolder dir;
  TDatabase db;
  TQuery q{db};
};

TEST_F(RecordServicesTest, NumberKeysAreSearchedInNumericOrder) {
  AddTimeTables(12);
  for (int key = 1; key <= 12; ++key) {
    EXPECT_TRUE(OpenAndSeek(q, "tTimeTable", std::to_string(key), "fnTTCode")) << key;
    EXPECT_EQ(q.FieldByName("fnTTCode").AsInteger(), key);
  }
  EXPECT_EQ(q.SQL, "SELECT * FROM tTimeTable ORDER BY fnTTCode");
  EXPECT_TRUE(q.Active());
}

TEST_F(RecordServicesTest, TextKeysAreSearchedInTextOrderAndTrimmed) {
  AddHolidays({"0101", "1225", "2512", "3112", "0505 "});
  EXPECT_TRUE(OpenAndSeek(q, "tHoliday", "2512", "fsDate"));
  EXPECT_EQ(q.FieldByName("fsDate").AsString(), "2512");
  EXPECT_TRUE(OpenAndSeek(q, "tHoliday", "1225  ", "fsDate"));
  EXPECT_EQ(q.FieldByName("fsDate").AsString(), "1225");
  EXPECT_TRUE(OpenAndSeek(q, "tHoliday", "0505", "fsDate"));
  EXPECT_EQ(q.FieldByName("fsDate").AsString(), "0505 ");
  EXPECT_FALSE(OpenAndSeek(q, "tHoliday", "25", "fsDate")) << "no prefix match";
}

TEST_F(RecordServicesTest, AnAbsentKeyLeavesTheQueryOnANeighbour) {
  AddTimeTables(12);
  db.Execute("DELETE FROM tTimeTable WHERE fnTTCode=7");
  EXPECT_FALSE(OpenAndSeek(q, "tTimeTable", "7", "fnTTCode"));
  std::int64_t at = q.FieldByName("fnTTCode").AsInteger();
  EXPECT_TRUE(at == 6 || at == 8) << at;
  EXPECT_FALSE(OpenAndSeek(q, "tTimeTable", "99", "fnTTCode"));
  EXPECT_EQ(q.FieldByName("fnTTCode").AsInteger(), 12);
  EXPECT_FALSE(OpenAndSeek(q, "tTimeTable", "0", "fnTTCode"));
  EXPECT_EQ(q.FieldByName("fnTTCode").AsInteger(), 1);
}

TEST_F(RecordServicesTest, EmptyTableFindsOnlyAnEmptyKey) {
  EXPECT_FALSE(OpenAndSeek(q, "tHoliday", "2512", "fsDate"));
  EXPECT_TRUE(OpenAndSeek(q, "tHoliday", "", "fsDate"));
  EXPECT_TRUE(OpenAndSeek(q, "tHoliday", "   ", "fsDate"));
}

TEST_F(RecordServicesTest, SeekRecordSearchesAnOpenQueryWithoutChangingIt) {
  AddTimeTables(30);
  q.SetSQL("SELECT fnTTCode FROM tTimeTable ORDER BY fnTTCode");
  q.Open();
  for (int key : {30, 1, 17, 2, 29}) {
    EXPECT_TRUE(SeekRecord(q, std::to_string(key), "fnTTCode"));
    EXPECT_EQ(q.FieldByName("fnTTCode").AsInteger(), key);
  }
  EXPECT_EQ(q.SQL, "SELECT fnTTCode FROM tTimeTable ORDER BY fnTTCode");
}

TEST_F(RecordServicesTest, StatementLinesOfAnInsertAndAnUpdate) {
  EXPECT_EQ(
      InsertStatementLines("tHoliday", {TextValue("2512"), TextValue("Christmas")}, {""}, true),
      (std::vector<std::string>{"INSERT INTO tHoliday", "VALUES (", "'2512'", ",", "'Christmas'", ")"}));
  EXPECT_EQ(
      UpdateStatementLines("tHoliday", "fsDate=\"2512\"", {TextValue("New year")}, {"fsDesc"}, true),
      (std::vector<std::string>{"UPDATE tHoliday SET ", "fsDesc=", "'New year'", " WHERE fsDate=\"2512\""}));
  EXPECT_EQ(InsertStatementLines("tHoliday", {TextValue("a"), TextValue("b")}, {"fsDate", "fsDesc"}, false),
            (std::vector<std::string>{"INSERT INTO tHoliday", " (fsDate", ",fsDesc", ") ", "VALUES (", "?",
                                      ",", "?", ")"}));
}

TEST_F(RecordServicesTest, EachKindOfValueIsWrittenByItsKind) {
  EXPECT_EQ(StatementLiteral(IntValue(12)), "12");
  EXPECT_EQ(StatementLiteral(CharValue('X')), "'X'");
  EXPECT_EQ(StatementLiteral(TextValue("O'Neil")), "'O''Neil'");
  EXPECT_EQ(StatementLiteral(FloatValue(2.5)), "2.5");
  EXPECT_EQ(StatementLiteral(TValue{TDate{2026, 12, 9}}), "to_date('09/12/2026','dd/mm/yyyy')");
  EXPECT_EQ(StatementLiteral(TValue{TOtherValue{}}), "\"\"");
}

TEST_F(RecordServicesTest, ValuesAreStoredAsTypedWhateverTheyHold) {
  std::vector<TValue> values{
      TextValue("700815"),   TextValue("ID-1"), TextValue("O'Neil\"; DROP TABLE tLogins;--"),
      TValue{TOtherValue{}}, IntValue(3),       TextValue("123456"),
      IntValue(0),           IntValue(1),       TextValue("")};
  EXPECT_EQ(InsertRecord(q, "tEmployees", values, {""}), 1);
  EXPECT_EQ(q.SQL, "SELECT * FROM tEmployees");
  EXPECT_FALSE(q.Active());
  ASSERT_TRUE(OpenAndSeek(q, "tEmployees", "700815", "fsCardNo"));
  EXPECT_EQ(q.FieldByName("fsName").AsString(), "O'Neil\"; DROP TABLE tLogins;--");
  EXPECT_EQ(q.FieldByName("fnAcsCode").AsInteger(), 3);
  EXPECT_EQ(q.FieldByName("fbPhoto").AsString(), "");

  EXPECT_EQ(UpdateRecord(q, "tEmployees", TCondition("fsCardNo=?", {TextValue("700815")}),
                         {TextValue("Ann O'Neil"), CharValue('7'), FloatValue(1.5)}, {"fsName", "fsPIN"}),
            1)
      << "only as many pairs as both lists hold";
  ASSERT_TRUE(OpenAndSeek(q, "tEmployees", "700815", "fsCardNo"));
  EXPECT_EQ(q.FieldByName("fsName").AsString(), "Ann O'Neil");
  EXPECT_EQ(q.FieldByName("fsPIN").AsString(), "7");

  EXPECT_EQ(DeleteRecords(q, "tEmployees", TCondition("fsName=?", {TextValue("nobody")})), 0);
  EXPECT_EQ(DeleteRecords(q, "tEmployees", TCondition("fsName=?", {TextValue("Ann O'Neil")})), 1);
  EXPECT_EQ(q.SQL, "SELECT * FROM tEmployees");
  TQuery logins(db);
  logins.SetSQL("SELECT count(*) AS n FROM tLogins");
  logins.Open();
  EXPECT_EQ(logins.FieldByName("n").AsInteger(), 1);
}

TEST_F(RecordServicesTest, InsertWithoutAColumnListFollowsTableOrder) {
  EXPECT_EQ(InsertRecord(q, "tAlarm",
                         {IntValue(4), TextValue("0730"), IntValue(5), IntValue(3), IntValue(31)}, {""}),
            1);
  q.SetSQL("SELECT * FROM tAlarm");
  q.Open();
  EXPECT_EQ(q.FieldByName("fsAlarmTime").AsString(), "0730");
  EXPECT_EQ(q.FieldByName("fnAlarmRelay").AsInteger(), 3);
  EXPECT_THROW(InsertRecord(q, "tAlarm",
                            {IntValue(5), TextValue("0730"), IntValue(5), IntValue(9), IntValue(1)}, {""}),
               TDbError)
      << "relay codes stop at 3";
}

}  // namespace
}  // namespace korvo
