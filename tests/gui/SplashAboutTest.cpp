#include <gtest/gtest.h>

#include <QAction>
#include <QDesktopServices>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QUrl>

#include "GuiFixture.h"
#include "main/ui/Animation.h"
#include "main/ui/SplashAbout.h"

namespace korvo {
namespace {

// Takes the place of the desktop shell for the links of the about box.
class TUrlCatcher : public QObject {
  Q_OBJECT
 public:
  QStringList opened;
 public slots:
  void Open(const QUrl& url) { opened << url.toString(); }
};

class SplashAboutTest : public test::TGuiFixture {};

TEST_F(SplashAboutTest, AboutOpensANewChildWindowEachTime) {
  TfMain& m = NewMain();
  m.show();
  Find<QAction>("miAbout")->trigger();
  Find<QAction>("miAbout")->trigger();
  auto children = m.MdiArea()->subWindowList();
  ASSERT_EQ(children.size(), 2);
  EXPECT_EQ(children.front()->windowTitle(), "About KORVO2K/Bio Utility");
  EXPECT_EQ(children.front()->pos(), QPoint(0, 0));
  auto* about = children.front()->findChild<TfSplash*>("fSplash");
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->findChild<QLabel*>("lblVersi")->text(), "Version 2.00");
  EXPECT_EQ(about->findChild<QLabel*>("lblProduct")->text(), "KORVO2K/Bio");
  EXPECT_EQ(about->findChild<QLabel*>("lblUtility")->text(), "UTILITY");
  EXPECT_EQ(about->findChild<QPushButton*>("bbClose")->text(), " &Close");
  EXPECT_EQ(about->findChild<QPushButton*>("bbSysInfo")->text(), "&Sys Info");

  auto* anime = about->findChild<TAnimation*>("Anime");
  EXPECT_TRUE(anime->Active());
  QPointer<TfSplash> gone = about;
  about->findChild<QPushButton*>("bbClose")->click();
  EXPECT_FALSE(anime->Active()) << "Close stops the animation before the window goes";
  FlushDeletes();
  EXPECT_TRUE(gone.isNull());
  EXPECT_EQ(m.MdiArea()->subWindowList().size(), 1);
}

TEST_F(SplashAboutTest, TheLinksTurnBlueUnderTheMouseAndOpenTheMakersAddresses) {
  TUrlCatcher catcher;
  QDesktopServices::setUrlHandler("https", &catcher, "Open");
  QDesktopServices::setUrlHandler("mailto", &catcher, "Open");
  TfSplash about(*dm, TfSplash::TMode::About);
  about.show();
  auto* home = about.findChild<QLabel*>("lHome");
  auto* mail = about.findChild<QLabel*>("lEmail");
  QColor normal = home->palette().color(QPalette::WindowText);
  QEvent enter(QEvent::Enter), leave(QEvent::Leave);
  QApplication::sendEvent(home, &enter);
  EXPECT_EQ(home->palette().color(QPalette::WindowText), QColor(Qt::blue));
  QApplication::sendEvent(home, &leave);
  EXPECT_EQ(home->palette().color(QPalette::WindowText), normal);
  QTest::mouseClick(home, Qt::LeftButton);
  QTest::mouseClick(mail, Qt::LeftButton);
  QDesktopServices::unsetUrlHandler("https");
  QDesktopServices::unsetUrlHandler("mailto");
  ASSERT_EQ(catcher.opened.size(), 2);
  EXPECT_TRUE(catcher.opened[0].startsWith("https://"));
  EXPECT_TRUE(catcher.opened[1].startsWith("mailto:"));
  EXPECT_TRUE(catcher.opened[1].endsWith("?subject="));
}

TEST_F(SplashAboutTest, TheSplashIsTheAboutBoxCutShortWithoutCaptionOrButtons) {
  TfSplash splash(*dm, TfSplash::TMode::Splash);
  splash.show();
  EXPECT_EQ(splash.height(), 233);
  EXPECT_TRUE(splash.windowTitle().isEmpty());
  EXPECT_FALSE(splash.findChild<QPushButton*>("bbClose")->isVisible());
  EXPECT_FALSE(splash.findChild<QWidget*>("Anime")->isVisible());
  EXPECT_FALSE(splash.findChild<QWidget*>("Bevel2")->isVisible());
  EXPECT_FALSE(splash.findChild<TAnimation*>("Anime")->Active());
  EXPECT_TRUE(splash.findChild<QLabel*>("lblVersi")->isVisible());
}

}  // namespace
}  // namespace korvo

#include "SplashAboutTest.moc"
