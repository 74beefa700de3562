// Entry of every test program: GoogleTest over the platform's application object, which is
// initialised first so that the test thread is the GUI thread.
#include <gtest/gtest.h>

#include "platform/Application.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  Application->Initialize();
  return RUN_ALL_TESTS();
}
