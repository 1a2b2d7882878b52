// The Cardholders page of the window: opened from tbCard, the search warnings, header sorting that
// keeps the ticks, Add / Edit from the edit group, and the photo through the clipboard.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

#include "GuiFixture.h"
#include "cards/CardPage.h"
#include "cards/ui/Card.h"
#include "store/Database.h"
#include "store/SettingsRecord.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;

class CardWindowTest : public test::TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    AddTerminal("1", "001", "Gate");
    dm->ADOC.Execute(
        "UPDATE tTerminals SET fmTimeTbl = '2\r\n5\r\n7\r\n', fmAccess = '2\r\n', "
        "fmAxGroup = '20000006000000000000\r\n'");
    dm->ADOC.Execute("INSERT INTO tAccess VALUES (2, 'Late', '', '5\r7\r')");
    dm->ADOC.Execute(
        "INSERT INTO tEmployees (fsCardNo, fsIDNo, fsName, fsPIN) VALUES ('300', 'A1', 'Ann', ''), "
        "('100', 'C3', 'Cy', ''), ('200', 'B2', 'Bob', '')");
    dm->Settings.SetCurAddr("1");
    dm->Settings.SetCurLocation("Gate");
    NewMain().show();
    ASSERT_TRUE(main->FormCreate());
    Find<QAction>("tbCard")->trigger();
    card = main->ToolWindows().As<TfCard>(TToolWindow::Cardholders);
    ASSERT_TRUE(card);
    ui.calls.clear();
  }
  template <class T>
  T* In(const char* name) {
    return card->findChild<T*>(name);
  }
  Strings Column(int column) {
    auto* m = In<QTableView>("clbCard")->model();
    Strings out;
    for (int r = 0; r < m->rowCount(); ++r)
      out.push_back(m->index(r, column).data().toString().trimmed().toStdString());
    return out;
  }
  Strings Ticked() {
    Strings out;
    for (const auto& r : card->Page().rows)
      if (r.ticked) out.push_back(r.card);
    return out;
  }
  void Enter(const char* edit, const QString& text) {
    In<QLineEdit>(edit)->setText(text);
    QTest::keyClick(In<QLineEdit>(edit), Qt::Key_Return);
  }

  TfCard* card = nullptr;
};

TEST_F(CardWindowTest, OpensOnTheCardholdersPageOfTheCurrentTerminal) {
  EXPECT_EQ(card->windowTitle(), "Cardholders and Activities");
  EXPECT_EQ(In<QLabel>("pCard")->text(), "Gate");
  EXPECT_EQ(dm->Settings.SelectedAddr(), "1");
  EXPECT_EQ(In<QTabWidget>("pcCard")->tabText(1), "Activities");
  EXPECT_EQ(Column(1), (Strings{"100", "200", "300"}));
  EXPECT_EQ(Column(4), (Strings{"None", "Late", "None"}));
  EXPECT_EQ(Ticked(), Strings{"200"});
  EXPECT_EQ(In<QComboBox>("cbAcs")->count(), 2);
}

TEST_F(CardWindowTest, ATerminalSwitchShowsThePageAnewOnlyWhileItShows) {
  AddTerminal("2", "002", "Door");
  dm->ADOC.Execute("UPDATE tTerminals SET fmAxGroup = '30000000000000000000\r\n' WHERE fsAddr = '2'");
  const struct {
    int tab;
    Strings ticked;
  } cases[] = {{1, {"200"}}, {0, {"300"}}};
  for (const auto& c : cases) {
    In<QTabWidget>("pcCard")->setCurrentIndex(c.tab);
    dm->Settings.SetSelectedAddr("2");
    dm->Settings.SetCurLocation("Door");
    main->Followers().RunFailed();
    EXPECT_EQ(In<QLabel>("pCard")->text(), "Door") << c.tab;
    EXPECT_EQ(Ticked(), c.ticked) << c.tab;
  }
  EXPECT_EQ(card->Page().terminal, "2");
}

TEST_F(CardWindowTest, SearchSelectsOrWarns) {
  const struct {
    const char* edit;
    const char* text;
    const char* warning;  // empty: found
    const char* card;
  } cases[] = {{"eID", "c3", "", "100"},
               {"eName", " bob ", "", "200"},
               {"eCard", "999", "Card Number not Found.", ""},
               {"eID", "X", "ID Number not Found.", ""},
               {"eName", "Dan", "Cardholder Name not Found.", ""}};
  for (const auto& c : cases) {
    ui.calls.clear();
    In<QLineEdit>("eCard")->clear();
    Enter(c.edit, c.text);
    if (*c.warning) {
      EXPECT_EQ(ui.Texts("warning"), Strings{c.warning}) << c.text;
    } else {
      EXPECT_EQ(ui.Texts("warning"), Strings{}) << c.text;
      EXPECT_EQ(In<QLineEdit>("eCard")->text().toStdString(), c.card) << c.text;
    }
  }
  EXPECT_EQ(In<QComboBox>("cbAcs")->currentText(), "Late") << "the last hit, 200, shows its level";
}

TEST_F(CardWindowTest, HeaderSortingKeepsTheTicksAndAddEditRereadsThem) {
  auto* model = In<QTableView>("clbCard")->model();
  model->setData(model->index(0, 0), Qt::Checked, Qt::CheckStateRole);  // 100
  In<QTableView>("clbCard")->horizontalHeader()->sectionClicked(3);     // Name
  EXPECT_EQ(Column(3), (Strings{"Ann", "Bob", "Cy"}));
  EXPECT_EQ(Ticked(), (Strings{"200", "100"}));
  EXPECT_EQ(ui.Progress(), (Strings{"0-3", "1", "2", "3"}));

  In<QLineEdit>("eCard")->setText("400");
  In<QComboBox>("cbAcs")->setCurrentText("Late");
  In<QPushButton>("bbAdd")->click();
  EXPECT_EQ(Column(3), (Strings{"-", "Ann", "Bob", "Cy"})) << "still by name";
  EXPECT_EQ(Ticked(), Strings{"200"}) << "ticks come back from the stored access group";
  EXPECT_EQ(card->Page().group.back(), "40000006000000000000");
}

TEST_F(CardWindowTest, ThePhotoGoesThroughTheClipboardAsPng) {
  QImage image(4, 3, QImage::Format_RGB32);
  image.fill(Qt::red);
  QApplication::clipboard()->setImage(image);
  In<QLineEdit>("eCard")->setText("200");
  In<QAction>("PasteFromClipboard1")->trigger();
  const std::string stored = CardPhoto(dm->ADOC, "200");
  ASSERT_GE(stored.size(), 8u);
  EXPECT_EQ(stored.substr(1, 3), "PNG");
  EXPECT_FALSE(In<QLabel>("dbPhoto")->pixmap().isNull());

  QApplication::clipboard()->clear();
  In<QAction>("CutToClipboard1")->trigger();
  EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(4, 3));
  EXPECT_EQ(CardPhoto(dm->ADOC, "200"), "");

  QApplication::clipboard()->clear();
  In<QAction>("PasteFromClipboard1")->trigger();
  EXPECT_EQ(ui.Texts("warning"), Strings{"Data not Found."});
  QApplication::clipboard()->setImage(image);
  In<QLineEdit>("eCard")->setText("999");
  In<QAction>("PasteFromClipboard1")->trigger();
  EXPECT_EQ(ui.Texts("warning"), (Strings{"Data not Found.", "Data not Found."}));
}

}  // namespace
}  // namespace korvo
