#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "store/Password.h"

// The main of every test program without windows.
int main(int argc, char** argv) {
  korvo::UseCheapPasswordHashing();
  ::testing::InitGoogleMock(&argc, argv);
  return RUN_ALL_TESTS();
}
