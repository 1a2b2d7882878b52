#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>

#include "store/Database.h"
#include "store/Schema.h"
#include "support/TempFolder.h"

namespace korvo {
namespace {

using test::TTempFolder;

class DatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db.Create(dir.File("Korvoweb.mdb"));
    InstallSchema(db);
    for (int code = 1; code <= 5; ++code)
      db.Execute("INSERT INTO tTimeTable VALUES (?, ?, '0800', '1700', 127)",
                 {std::int64_t{code}, "table " + std::to_string(code)});
  }
  TTempFolder dir;
  TDatabase db;
};

TEST_F(DatabaseTest, NewFileIsReadableByItsOwnerOnly) {
  struct stat st {};
  ASSERT_EQ(::stat(dir.File("Korvoweb.mdb").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(DatabaseTest, OpenQueryHoldsItsRowsAndMovesWithinThem) {
  TQuery q(db);
  q.SetSQL("SELECT * FROM tTimeTable ORDER BY fnTTCode");
  q.Open();
  EXPECT_EQ(q.RecordCount(), 5);
  EXPECT_TRUE(q.Bof());
  EXPECT_FALSE(q.Eof());
  EXPECT_EQ(q.FieldByName("fnTTCode").AsInteger(), 1);
  q.MoveBy(3);
  EXPECT_EQ(q.FieldByName("fnttcode").AsString(), "4");
  q.MoveBy(10);  // stops at the last row
  EXPECT_TRUE(q.Eof());
  EXPECT_EQ(q.FieldByName("fnTTCode").AsInteger(), 5);
  q.MoveBy(-10);
  EXPECT_TRUE(q.Bof());
  EXPECT_EQ(q.FieldByName("fnTTCode").AsInteger(), 1);
  // The result stays as it was read, whatever happens to the table meanwhile.
  db.Execute("DELETE FROM tTimeTable");
  q.Last();
  EXPECT_EQ(q.FieldByName("fsTTDesc").AsString(), "table 5");
  EXPECT_TRUE(q.Locate("fsTTDesc", "TABLE 3", true));
  EXPECT_EQ(q.FieldByName("fnTTCode").AsInteger(), 3);
  EXPECT_FALSE(q.Locate("fsTTDesc", "TABLE 3", false));
}

TEST_F(DatabaseTest, NextOnTheLastRowSetsEof) {
  TQuery q(db);
  q.SetSQL("SELECT fnTTCode FROM tTimeTable ORDER BY fnTTCode");
  q.Open();
  int seen = 0;
  while (!q.Eof()) {
    ++seen;
    q.Next();
  }
  EXPECT_EQ(seen, 5);
}

TEST_F(DatabaseTest, EditAndPostWritesTheCurrentRowBack) {
  TQuery q(db);
  q.SetSQL("SELECT * FROM tTimeTable ORDER BY fnTTCode");
  q.Open();
  q.MoveBy(1);
  q.Edit();
  q.FieldByName("fsTTDesc").SetAsString("changed");
  q.Post();
  EXPECT_EQ(q.FieldByName("fsTTDesc").AsString(), "changed");
  TQuery check(db);
  check.SetSQL("SELECT fsTTDesc FROM tTimeTable WHERE fnTTCode=2");
  check.Open();
  EXPECT_EQ(check.FieldByName("fsTTDesc").AsString(), "changed");
  check.SetSQL("SELECT count(*) AS n FROM tTimeTable WHERE fsTTDesc='changed'");
  check.Open();
  EXPECT_EQ(check.FieldByName("n").AsInteger(), 1);
}

TEST_F(DatabaseTest, PostOfABlobKeepsEveryByte) {
  db.Execute("INSERT INTO tEmployees (fsCardNo, fsName) VALUES ('700815', 'Ann')");
  TQuery q(db);
  q.SetSQL("SELECT * FROM tEmployees WHERE fsCardNo=?", {std::string("700815")});
  q.Open();
  std::string photo("\x89PNG\r\n\x1A\n\0\0\xFF", 11);
  q.Edit();
  q.FieldByName("fbPhoto").SetAsBlob(photo);
  q.Post();
  q.Open();
  EXPECT_EQ(q.FieldByName("fbPhoto").AsBlob(), photo);
  EXPECT_TRUE(std::holds_alternative<TBlob>(q.FieldByName("fbPhoto").AsVariant()));
}

TEST_F(DatabaseTest, EngineErrorsCarryTheEnginesMessage) {
  TQuery q(db);
  q.SetSQL("SELECT * FROM tNoSuchTable");
  try {
    q.Open();
    FAIL();
  } catch (const TDbError& e) {
    EXPECT_STREQ(e.what(), "no such table: tNoSuchTable");
  }
  try {
    db.Execute("INSERT INTO tTimeTable VALUES (1, 'again', '', '', 0)");
    FAIL();
  } catch (const TDbError& e) {
    EXPECT_NE(std::string(e.what()).find("UNIQUE constraint failed: tTimeTable.fnTTCode"), std::string::npos);
  }
  q.SetSQL("SELECT fsTTDesc FROM tTimeTable");
  q.Open();
  EXPECT_THROW(q.FieldByName("fsMissing"), TDbError);
  EXPECT_THROW(q.FieldByName("fsTTDesc").AsInteger(), TDbError);
}

TEST_F(DatabaseTest, RealsBecomeIntegersOnlyWithinTheIntegerRange) {
  struct TCase {
    const char* real;
    bool fits;
    std::int64_t value;
  };
  const TCase cases[] = {
      {"42.9", true, 42},
      {"-42.9", true, -42},
      {"9.2e18", true, 9200000000000000000},
      {"-9223372036854775808.0", true, INT64_MIN},
      {"9223372036854775808.0", false, 0},
      {"-9.3e18", false, 0},
      {"1e300", false, 0},
      {"-1e300", false, 0},
  };
  for (const auto& c : cases) {
    TQuery q(db);
    q.SetSQL(std::string("SELECT CAST(") + c.real + " AS REAL) AS r");
    q.Open();
    if (c.fits) {
      EXPECT_EQ(q.FieldByName("r").AsInteger(), c.value) << c.real;
    } else {
      try {
        q.FieldByName("r").AsInteger();
        ADD_FAILURE() << c.real << " was taken as an integer";
      } catch (const TDbError& e) {
        EXPECT_NE(std::string(e.what()).find("is not a valid integer value: out of range"), std::string::npos)
            << e.what();
      }
    }
  }
}

TEST_F(DatabaseTest, ActivityTimesAreRealDatesAndTimes) {
  EXPECT_EQ(ToStoredTime("2026/12/09 07:05:03"), "2026-12-09 07:05:03");
  EXPECT_EQ(ToStoredTime("2024-02-29 23:59:59"), "2024-02-29 23:59:59");
  for (std::string bad :
       {"2026/02/30 10:00:00", "2025/02/29 10:00:00", "2026/13/01 10:00:00", "2026/12/09 24:00:00",
        "2026/12/09 10:60:00", "2026/12/09", "garbage", "2026/12-09 10:00:00"})
    EXPECT_THROW(ToStoredTime(bad), TDbError) << bad;
  // The table refuses what slipped past the conversion.
  EXPECT_EQ(db.Execute("INSERT INTO tActivities VALUES ('1', '2026-12-09 07:05:03', 'I', '00', '1', '00')"),
            1);
  EXPECT_THROW(
      db.Execute("INSERT INTO tActivities VALUES ('1', '2026-02-30 07:05:03', 'I', '00', '1', '00')"),
      TDbError);
  EXPECT_THROW(
      db.Execute("INSERT INTO tActivities VALUES ('1', '2026/12/09 07:05:03', 'I', '00', '1', '00')"),
      TDbError);
}

TEST_F(DatabaseTest, TransactionRollsBackWhenNotCommitted) {
  {
    TTransaction tx(db);
    db.Execute("DELETE FROM tTimeTable");
  }
  TQuery q(db);
  q.SetSQL("SELECT count(*) AS n FROM tTimeTable");
  q.Open();
  EXPECT_EQ(q.FieldByName("n").AsInteger(), 5);
}

TEST(Database, OpeningSomethingThatIsNoDatabaseFails) {
  TTempFolder dir;
  dir.Write("Korvoweb.mdb", std::string(4096, 'x'));
  TDatabase db;
  EXPECT_THROW(db.Open(dir.File("Korvoweb.mdb")), TDbError);
  EXPECT_FALSE(db.Connected());
  EXPECT_THROW(db.Open(dir.File("missing.mdb")), TDbError);
}

}  // namespace
}  // namespace korvo
