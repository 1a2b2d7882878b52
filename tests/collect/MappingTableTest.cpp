// Editing the mapping tables as their grids do: what reaches the database, and what is refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "collect/MappingTable.h"
#include "store/Database.h"
#include "support/MainFixture.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;
using TState = TMappingTable::TState;

class MappingTable : public test::TMainFixture {
 protected:
  // The cases count rows from the letter flags: the digit direction rows are left out.
  void SetUp() override {
    TMainFixture::SetUp();
    dm->ADOC.Execute("DELETE FROM tDirMap WHERE fcDirFlag IN ('0', '1')");
  }
  // The table's rows in key order, each as "key|code|display".
  Strings Stored(const char* table = "tDirMap") {
    TQuery q(dm->ADOC);
    q.SetSQL(std::string("SELECT * FROM ") + table + " ORDER BY 1");
    q.Open();
    Strings rows;
    for (q.First(); !q.Eof(); q.Next())
      rows.push_back(q.Field(0).AsString() + "|" + q.Field(1).AsString() + "|" + q.Field(2).AsString());
    return rows;
  }
  static Strings Shown(const TMappingTable& t) {
    Strings rows;
    for (int i = 0; i < t.RowCount(); ++i)
      rows.push_back(t.Row(i)[0] + "|" + t.Row(i)[1] + "|" + t.Row(i)[2]);
    return rows;
  }
};

TEST_F(MappingTable, EditsReachTheTableWhenPostedOrLeft) {
  TMappingTable t(dm->ADOC, kDirMapTable);
  t.Refresh();
  ASSERT_EQ(Shown(t), (Strings{"00|00|No Function", "I|I|In", "O|O|Out"}));
  EXPECT_EQ(t.Current(), 0);

  // A changed value is held until the cursor leaves the row.
  t.SetValue(1, 1, "IN");
  EXPECT_EQ(t.State(), TState::Edit);
  EXPECT_EQ(Stored()[1], "I|I|In");
  t.Next();
  EXPECT_EQ(t.Current(), 2);
  EXPECT_EQ(Stored()[1], "I|IN|In");

  // A key may change too; a quote is data like any other character.
  t.SetValue(2, 0, "X");
  t.SetValue(2, 2, "Out 'n' \"back\"");
  t.Post();
  EXPECT_EQ(Stored(), (Strings{"00|00|No Function", "I|IN|In", "X|O|Out 'n' \"back\""}));

  // An insert comes before the current row and is written when posted.
  t.MoveTo(1);
  t.Insert();
  EXPECT_EQ(t.Current(), 1);
  t.SetValue(1, 0, "B");
  t.SetValue(1, 1, "BK");
  t.Post();
  EXPECT_EQ(Shown(t)[1], "B|BK|");
  EXPECT_EQ(Stored()[1], "B|BK|");

  // Cancel drops an edit; delete removes the current row.
  t.SetValue(0, 2, "lost");
  t.Cancel();
  t.MoveTo(2);
  t.Delete();
  EXPECT_EQ(Stored(), (Strings{"00|00|No Function", "B|BK|", "X|O|Out 'n' \"back\""}));
  EXPECT_EQ(Shown(t), Stored());
  EXPECT_EQ(t.Current(), 2);
}

TEST_F(MappingTable, RefusedRowsStayInTheirEdit) {
  TMappingTable t(dm->ADOC, kEventMapTable);
  t.Refresh();
  const Strings before = Stored("tEventMap");
  struct TCase {
    const char* key;
    const char* error;
  };
  const TCase cases[] = {
      {"", "Field 'fsEventFlag' must have a value"},
      {"  ", "Field 'fsEventFlag' must have a value"},
      {"05", "UNIQUE constraint failed: tEventMap.fsEventFlag"},
  };
  for (const TCase& c : cases) {
    t.Insert();
    t.SetValue(t.Current(), 0, c.key);
    t.SetValue(t.Current(), 2, "New");
    const int at = t.Current();
    try {
      t.MoveTo(at + 1);
      ADD_FAILURE() << "posted " << c.key;
    } catch (const TDbError& e) {
      EXPECT_EQ(std::string(e.what()), c.error);
    }
    EXPECT_EQ(t.State(), TState::Insert);
    EXPECT_EQ(t.Current(), at);
    t.Cancel();
    EXPECT_EQ(Stored("tEventMap"), before);
    EXPECT_EQ(Shown(t), before);
  }
  // A row deleted meanwhile cannot take an edit.
  dm->ADOC.Execute("DELETE FROM tEventMap WHERE fsEventFlag = '09'");
  t.SetValue(9, 1, "x");
  EXPECT_THROW(t.Post(), TDbError);
  EXPECT_EQ(t.State(), TState::Edit);
}

TEST_F(MappingTable, AnUntouchedInsertGoesAwayWhenLeft) {
  TMappingTable t(dm->ADOC, kDirMapTable);
  t.Refresh();
  t.MoveTo(1);
  t.Insert();
  EXPECT_EQ(t.RowCount(), 4);
  t.MoveTo(2);  // the row after the inserted one: "I" again
  EXPECT_EQ(t.State(), TState::Browse);
  EXPECT_EQ(t.RowCount(), 3);
  EXPECT_EQ(t.Row(t.Current())[0], "I");
  t.Insert();
  t.Delete();
  t.Last();
  t.Insert();
  t.Refresh();
  EXPECT_EQ(Shown(t), Stored());
  EXPECT_EQ(t.Row(t.Current())[0], "O");
}

}  // namespace
}  // namespace korvo
