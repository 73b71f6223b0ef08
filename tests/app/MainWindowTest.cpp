// The main window on the offscreen platform, driven as a user would with QTest.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <memory>

#include "app/AppGlobals.h"
#include "app/window/MainWindow.h"
#include "render/RenderGlobal.h"

TEST(MainWindow, IsCreatedShownAndDestroyedBesideTheGlobalObjects) {
  ASSERT_NE(qobject_cast<QApplication*>(QCoreApplication::instance()), nullptr);
  CreateGlobals();
  ASSERT_NE(gMapCanvas, nullptr);
  auto window = std::make_unique<TfmMain>();
  QPointer<TfmMain> watch(window.get());
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  EXPECT_EQ(window->objectName(), "fmMain");
  EXPECT_TRUE(window->isVisible());
  window.reset();
  EXPECT_TRUE(watch.isNull());
  ReleaseGlobals();
  EXPECT_EQ(gMapCanvas, nullptr);
}
