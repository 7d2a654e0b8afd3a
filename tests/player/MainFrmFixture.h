#pragma once
// One freshly created main window per test.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QWidget>
#include <memory>

#include "MainFrm.h"

namespace plavex::testing {

class MainFrmTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<TMainFrm>();
    // The default play list of a test window lives in the test's own folder.
    window->setDefaultPlayListPath(folder.filePath(QStringLiteral("Default.PLF")));
  }
  void TearDown() override { window.reset(); }

  QWidget* widget(const char* name) const {
    return window->findChild<QWidget*>(QString::fromLatin1(name));
  }

  QTemporaryDir folder;
  std::unique_ptr<TMainFrm> window;
};

}  // namespace plavex::testing
