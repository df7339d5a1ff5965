// Widget tests need one QApplication for the whole run; without a display they run offscreen.
#include <QApplication>

#include <gtest/gtest.h>

#include "platform/qt/qt_droplet_application.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  lensbrook::setUpDropletApplication("/home/ann/Desktop/Shrink Photos.app");
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
