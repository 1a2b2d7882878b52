// The Online window: stored activities, lines pushed by the simulator shown newest on top, the
// panel and photo, sorting, the terminal choice, and close and reopen on the same port.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QAction>
#include <QBuffer>
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

#include "GuiFixture.h"
#include "OnlinePusher.h"
#include "collect/OnlineStore.h"
#include "collect/ui/Monitor.h"
#include "store/Database.h"

namespace korvo {
namespace {

using namespace std::chrono_literals;

// A loopback socket: bound to `port` (0: any) and, with `listen`, listening.
int LoopbackSocket(int port, bool listen) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<std::uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  if (listen) ::listen(fd, 4);
  socklen_t len = sizeof a;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  return fd;
}

int PortOf(int fd) {
  sockaddr_in a{};
  socklen_t len = sizeof a;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  return ntohs(a.sin_port);
}

// A line with one card digit: terminal, card, yyyymmddhhnnss, direction, event, function code.
std::string Line(const std::string& term, char card, int second, const std::string& dir = "1") {
  char stamp[16];
  std::snprintf(stamp, sizeof stamp, "2026120810%02d%02d", second / 60, second % 60);
  return term + card + stamp + dir + "00" + "00";
}

class MonitorWindowTest : public test::TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    TfMonitor::BindAddress = "127.0.0.1";
    AddTerminal("10.0.0.2", "002", "Back door");
    AddTerminal("10.0.0.1", "001", "Gate A");
    NewMain().show();
    ASSERT_TRUE(main->FormCreate());
    // No terminal selected: one card digit, and nothing is asked of a terminal.
    dm->Settings.SetSelectedAddr("");
    const int fd = LoopbackSocket(0, false);
    port = PortOf(fd);
    ::close(fd);
    dm->Settings.SetOnlinePort(std::to_string(port));
  }
  TfMonitor* Toggle() {
    Find<QAction>("tbOnline")->trigger();
    FlushDeletes();
    return main->ToolWindows().As<TfMonitor>(TToolWindow::Online);
  }
  TfMonitor* Window() { return main->ToolWindows().As<TfMonitor>(TToolWindow::Online); }
  template <class T>
  T* In(const char* name) {
    auto* w = main->ToolWindows().As<TfMonitor>(TToolWindow::Online);
    return w ? w->findChild<T*>(name) : nullptr;
  }
  QStringList Column(int column) {
    QStringList values;
    auto* list = In<QTreeWidget>("ListView1");
    for (int i = 0; i < list->topLevelItemCount(); ++i) values << list->topLevelItem(i)->text(column);
    return values;
  }
  void Store(const std::vector<std::string>& lines) {
    TTransaction tx(dm->ADOC);
    TOnlineStore(dm->ADOC, {}).StoreBatch(lines, 1);
    tx.Commit();
  }
  int Stored() {
    TQuery q(dm->ADOC);
    q.SetSQL("SELECT count(*) FROM tActivities");
    q.Open();
    return static_cast<int>(q.Field(0).AsInteger());
  }
  bool WaitRows(int rows) {
    for (int i = 0; i < 250 && Stored() < rows; ++i) QTest::qWait(20);
    return Stored() >= rows;
  }
  korvosim::OnlinePusherOptions Push(std::vector<std::string> lines) {
    korvosim::OnlinePusherOptions o;
    o.port = port;
    o.linesPerSecond = 0;
    o.count = static_cast<int>(lines.size());
    o.lines = std::move(lines);
    o.retryMs = 20;
    return o;
  }
  int port = 0;
};

TEST_F(MonitorWindowTest, StoredActivitiesOfAllOrOneTerminalTheLastFiftyNewestOnTop) {
  std::vector<std::string> lines;
  for (int i = 0; i < 80; ++i) lines.push_back(Line(i < 30 ? "002" : "001", 'A', i));
  Store(lines);
  TfMonitor* w = Toggle();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->windowTitle(), "Online via TCPIP");
  auto* list = In<QTreeWidget>("ListView1");
  QStringList captions;
  for (int i = 0; i < list->columnCount(); ++i) captions << list->headerItem()->text(i);
  EXPECT_EQ(captions,
            (QStringList{"CardNo.", "Acc No.", "Date & Time", "Name", "Dir", "Event", "Location", "FKey"}));
  auto* cb = In<QComboBox>("cbTerminal");
  QStringList items;
  for (int i = 0; i < cb->count(); ++i) items << cb->itemText(i);
  EXPECT_EQ(items, (QStringList{"ALL TERMINALS", "GATE A", "BACK DOOR"}));
  EXPECT_EQ(In<QLabel>("lLocationPanel")->text(), "LOCATION  ");

  struct TCase {
    int index;
    int rows;
    QString top, bottom, location;
  };
  for (const TCase& c : {TCase{2, 30, "2026/12/08 10:00:29", "2026/12/08 10:00:00", "Back door"},
                         TCase{1, 50, "2026/12/08 10:01:19", "2026/12/08 10:00:30", "Gate A"},
                         TCase{0, 50, "2026/12/08 10:01:19", "2026/12/08 10:00:30", "Gate A"}}) {
    cb->setCurrentIndex(c.index);
    emit cb->activated(c.index);
    const QStringList times = Column(2);
    ASSERT_EQ(times.size(), c.rows) << c.index;
    EXPECT_EQ(times.front(), c.top);
    EXPECT_EQ(times.back(), c.bottom);
    EXPECT_EQ(Column(6).front(), c.location);
    EXPECT_EQ(Column(4).front(), "Out") << "flag 1";
  }
  Toggle();
}

TEST_F(MonitorWindowTest, PushedLinesAreListedInArrivalOrderWithTheCardholderAndPushOutTheOldest) {
  QImage image(4, 4, QImage::Format_RGB32);
  image.fill(Qt::red);
  QByteArray png;
  QBuffer buffer(&png);
  image.save(&buffer, "PNG");
  dm->ADOC.Execute("INSERT INTO tEmployees (fsCardNo, fsIDNo, fsName) VALUES ('7', 'ID7', 'Ann Lee')");
  {
    TQuery q(dm->ADOC);
    q.SetSQL("SELECT * FROM tEmployees WHERE fsCardNo='7'");
    q.Open();
    q.Edit();
    q.FieldByName("fbPhoto").SetAsBlob(std::string(png.constData(), static_cast<std::size_t>(png.size())));
    q.Post();
  }
  ASSERT_NE(Toggle(), nullptr);
  ASSERT_NE(Window(), nullptr);
  korvosim::OnlinePusher three(Push({Line("001", '5', 1), Line("002", '6', 2), Line("001", '7', 3, "0")}));
  ASSERT_TRUE(WaitRows(3));
  QTest::qWait(50);
  EXPECT_EQ(Column(0), (QStringList{"7", "6", "5"}));
  EXPECT_EQ(Column(3).front(), "Ann Lee");
  EXPECT_EQ(Column(1).front(), "ID7");
  EXPECT_EQ(Column(4).front(), "In");
  EXPECT_EQ(Column(5).front(), "Access Granted");
  EXPECT_EQ(In<QLineEdit>("EName")->text(), "Ann Lee");
  EXPECT_EQ(In<QLineEdit>("ETime")->text(), "2026/12/08 10:00:03");
  EXPECT_FALSE(In<QLabel>("dbPhoto")->pixmap().isNull());

  // A click on another row shows its fields and no photo.
  auto* list = In<QTreeWidget>("ListView1");
  list->setCurrentItem(list->topLevelItem(2));
  Window()->ListView1Click();
  EXPECT_EQ(In<QLineEdit>("ECardNo")->text(), "5");
  EXPECT_EQ(In<QLineEdit>("EName")->text(), "");
  EXPECT_TRUE(In<QLabel>("dbPhoto")->pixmap().isNull());

  // Sorting: the same column again reverses, another keeps the direction; new rows still go on top.
  auto* w = Window();
  w->ListView1ColumnClick(0);
  EXPECT_EQ(Column(0), (QStringList{"5", "6", "7"}));
  w->ListView1ColumnClick(0);
  EXPECT_EQ(Column(0), (QStringList{"7", "6", "5"}));
  w->ListView1ColumnClick(2);
  EXPECT_TRUE(w->SortDescending());
  EXPECT_EQ(Column(2).front(), "2026/12/08 10:00:03");

  std::vector<std::string> more;
  for (int i = 0; i < 48; ++i) more.push_back(Line("001", 'B', 10 + i));
  korvosim::OnlinePusher pusher(Push(more));
  ASSERT_TRUE(WaitRows(51));
  QTest::qWait(50);
  const QStringList cards = Column(0);
  ASSERT_EQ(cards.size(), 50);
  EXPECT_EQ(Column(2).front(), "2026/12/08 10:00:57");
  EXPECT_FALSE(cards.contains("5")) << "the row at the bottom after the sort went";
  EXPECT_TRUE(cards.contains("6") && cards.contains("7"));

  // A key pressed in the list selects the current row as a click does.
  list->setCurrentItem(list->topLevelItem(49));
  QTest::keyClick(list, Qt::Key_Up);
  QTest::qWait(10);
  EXPECT_EQ(In<QLineEdit>("ECardNo")->text(), list->topLevelItem(48)->text(0));
  EXPECT_EQ(In<QLineEdit>("ETime")->text(), list->topLevelItem(48)->text(2));
  Toggle();
}

TEST_F(MonitorWindowTest, CloseStoresWhatArrivedAndReopeningListensOnTheSamePort) {
  ASSERT_NE(Toggle(), nullptr);
  ASSERT_EQ(Window()->ListeningPort(), port);
  auto o = Push({Line("001", '1', 1), Line("001", '2', 2)});
  o.holdOpenMs = 3000;
  korvosim::OnlinePusher held(o);
  ASSERT_TRUE(held.waitDone(0ms) || true);
  for (int i = 0; i < 100 && held.sent() < 2; ++i) std::this_thread::sleep_for(10ms);
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(Toggle(), nullptr);  // closed before the batch was due
  EXPECT_EQ(Stored(), 2);
  held.stop();

  // Reopened, it listens on the same port at once; while another program holds it, the status bar
  // and the log say so.
  ASSERT_NE(Toggle(), nullptr);
  EXPECT_EQ(Window()->ListeningPort(), port);
  EXPECT_EQ(Column(0), (QStringList{"2", "1"}));
  Toggle();
  const int taken = LoopbackSocket(port, true);
  ASSERT_NE(Toggle(), nullptr);
  const std::string text = "Online port " + std::to_string(port) + " not available : Address already in use.";
  EXPECT_EQ(In<QLabel>("lStatus")->text().toStdString(), text);
  EXPECT_EQ(LogMessages().back(), text);
  EXPECT_EQ(Column(0).size(), 2) << "the stored activities are shown all the same";
  Toggle();
  ::close(taken);
}

TEST_F(MonitorWindowTest, AClosePressedWhileABatchIsShownWaitsUntilTheBatchIsStored) {
  ASSERT_NE(Toggle(), nullptr);
  int closeClicks = 0;
  // A look at the window messages in the middle of the batch: the first line is shown, the second is next.
  ui.OnProcessMessages = [&] {
    if (closeClicks == 0 && Window() && Window()->findChild<QLineEdit*>("ECardNo")->text() == "1") {
      ++closeClicks;
      Find<QAction>("tbOnline")->trigger();
      EXPECT_NE(Window(), nullptr) << "the close waits for the batch";
    }
  };
  korvosim::OnlinePusher pusher(Push({Line("001", '1', 1), Line("001", '2', 2), Line("001", '3', 3)}));
  ASSERT_TRUE(WaitRows(3));
  QTest::qWait(20);
  FlushDeletes();
  ui.OnProcessMessages = nullptr;
  EXPECT_EQ(closeClicks, 1);
  EXPECT_EQ(Window(), nullptr);
  EXPECT_EQ(Stored(), 3);
  EXPECT_FALSE(Find<QAction>("tbOnline")->isChecked());
  // Nobody listens any more.
  auto o = Push({Line("001", '4', 4)});
  o.retryMs = 10;
  korvosim::OnlinePusher late(o);
  for (int i = 0; i < 100 && late.connectFailures() == 0; ++i) std::this_thread::sleep_for(5ms);
  EXPECT_GT(late.connectFailures(), 0);
  late.stop();
}

}  // namespace
}  // namespace korvo
