#pragma once

#include <QApplication>
#include <QTest>
#include <memory>

#include "support/MainFixture.h"
#include "main/ui/MAIN.h"

namespace korvo::test {

// A started program and its main window, not yet through FormCreate. Terminal replies come from
// `replies` by address; an address without one is silent.
class TGuiFixture : public TMainFixture {
 protected:
  void TearDown() override {
    main.reset();
    TMainFixture::TearDown();
  }
  TfMain& NewMain() {
    main = std::make_unique<TfMain>(*program, *dm);
    main->SetSplashDuration(0);
    main->SetTerminalLink({[this](const std::string& address, const std::string& command) {
                             sent.push_back(address + ":" + command);
                             return replies.count(address) ? replies[address] : std::string("--\r");
                           },
                           [](const std::string&) { return false; }});
    return *main;
  }
  // Windows that close themselves go with the next turns of the event loop: their child windows
  // follow them one turn later.
  static void FlushDeletes() {
    for (int i = 0; i < 3; ++i) QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  // Where the cursor is in the window of `w`, active or not.
  static bool HasCursor(QWidget* w) { return w->window()->focusWidget() == w; }
  template <class T>
  T* Find(const char* name) {
    return main->findChild<T*>(name);
  }

  std::unique_ptr<TfMain> main;
  std::map<std::string, std::string> replies;
  std::vector<std::string> sent;
};

}  // namespace korvo::test
