#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>

#include "store/Password.h"

// The main of every window test program.
int main(int argc, char** argv) {
  // Window tests never need a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  korvo::UseCheapPasswordHashing();
  ::testing::InitGoogleMock(&argc, argv);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
