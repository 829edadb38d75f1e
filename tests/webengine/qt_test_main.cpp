// The engine needs its application object before any test makes a page.
#include <QApplication>
#include <gtest/gtest.h>

#include "webengine/web_browser.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  trovik::webengine::PrepareEnvironment(/*offscreen=*/true);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
