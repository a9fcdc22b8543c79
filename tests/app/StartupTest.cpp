#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

#include "TestEnv.h"
#include "WindowFixture.h"
#include "app/AboutDlg.h"
#include "app/ViewerApp.h"
#include "res/Resources.h"

namespace {

TEST(Startup, SocketFailureShowsStringAndOpensNoWindow) {
  ScriptedModal modal;
  bool windowRan = false;
  modal.onRunDialog = [&](QDialog&) {
    windowRan = true;
    return IDCANCEL;
  };
  ViewerEnvironment env;
  env.modal = &modal;
  CViewerApp app(env, [] { return false; });
  EXPECT_FALSE(app.InitInstance());
  EXPECT_FALSE(windowRan);
  ASSERT_EQ(modal.messages.size(), 1u);
  EXPECT_EQ(modal.messages[0].text, "Windows sockets initialization failed.");
  EXPECT_EQ(modal.messages[0].buttons, Buttons::Ok);
}

TEST(Startup, RunsTheWindowModallyAndEndsFalse) {
  ClearTestSettings();
  ScriptedModal modal;
  std::string caption;
  int slotKeys = 0;
  modal.onRunDialog = [&](QDialog& dialog) {
    auto& dlg = static_cast<CViewerDlg&>(dialog);
    caption = dlg.windowTitle().toStdString();
    slotKeys = static_cast<int>(dlg.m_model.m_strSlotKey[2][4].size());
    dlg.done(IDCANCEL);
    return IDCANCEL;
  };
  ViewerEnvironment env;
  env.modal = &modal;
  CViewerApp app(env);
  EXPECT_FALSE(app.InitInstance());
  EXPECT_EQ(caption, "::disconnected");
  EXPECT_EQ(slotKeys, 7) << "the built-in pages in place";
  EXPECT_TRUE(modal.messages.empty());
}

// The title bar, task bar and About box show the program's icon (its images:
// res/test) on the window.
TEST(Startup, WindowAndAboutBoxCarryTheIcon) {
  const QList<QSize> sizes = res::Icon().availableSizes();
  ASSERT_FALSE(sizes.isEmpty());
  WindowFixture w;
  EXPECT_EQ(w.dlg->windowIcon().availableSizes(), sizes);
  CAboutDlg about(w.dlg.get());
  EXPECT_EQ(about.windowIcon().availableSizes(), sizes);
}

TEST(Startup, EscapeAndEnterCloseTheWindowWritingSettings) {
  for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
    ClearTestSettings();
    WindowFixture w;
    QTest::keyClick(w.dlg.get(), key);
    EXPECT_FALSE(w.dlg->isVisible()) << key;
    EXPECT_TRUE(QFile::exists(TestSettingsFile())) << key;
  }
}

TEST(About, SystemCommand16OpensTheAboutBox) {
  WindowFixture w;
  QStringList texts;
  QString title;
  w.modal.onRunDialog = [&](QDialog& dialog) {
    title = dialog.windowTitle();
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
      if (!label->text().isEmpty()) texts << label->text();
    }
    return IDOK;
  };
  w.dlg->OnSysCommand(0x0013);  // the low four bits are the platform's
  EXPECT_EQ(title, "About Orvanta");
  EXPECT_TRUE(texts.contains("FLASH - used to erase and then send a formatted  data file to the unit"));
  EXPECT_EQ(texts.size(), 8);

  title.clear();
  w.dlg->OnSysCommand(0xF060);  // any other command is the platform's own
  EXPECT_TRUE(title.isEmpty());
}

TEST(ContextMenu, ChoosingAPortSelectsItAndMovesTheCheck) {
  WindowFixture w;
  w.modal.menuChoices = {"COM 2"};
  w.dlg->OnContextMenu(w.dlg.get(), QPoint(-1, -1));
  ASSERT_EQ(w.modal.menus.size(), 1u);
  EXPECT_EQ(w.modal.menus[0][7], "*COM 8") << "check at the selected port";
  EXPECT_EQ(w.dlg->m_nPortIndex, 1);
  EXPECT_EQ(w.dlg->m_nPortListY, 25);

  w.dlg->OnContextMenu(w.dlg.get(), QPoint(40, 50));
  EXPECT_EQ(w.modal.menus[1][1], "*COM 2");
  EXPECT_EQ(w.modal.menus[1][0], "COM 1");
  EXPECT_EQ(w.dlg->m_nPortIndex, 1) << "dismissing the menu changes nothing";
}

// Every button says what it does to a tool tip and a screen reader, and
// the tab key visits them in the order of their binding, round and round.
TEST(Buttons, TooltipsNamesAndTabOrder) {
  WindowFixture w;
  EXPECT_TRUE(w.dlg->m_btnConnect.toolTip().startsWith("CONNECT - used to make connection to selected port"));
  EXPECT_EQ(w.dlg->m_btnPortUp.accessibleName(), "COM port up");
  EXPECT_FALSE(w.dlg->m_btnOk.isVisible()) << "OK is never shown";
  const int order[] = {1003, 1004, 1007, 1005, 1006, 1002, 1024, 1015, 1016, 1028, 1029, 1018, 1017};
  for (size_t i = 0; i < std::size(order); ++i) {
    CBitmapButton* button = w.dlg->Button(order[i]);
    EXPECT_FALSE(button->toolTip().isEmpty() || button->accessibleName().isEmpty()) << order[i];
    QWidget* next = button->nextInFocusChain();
    while (next && (!next->isVisible() || next == w.dlg.get())) next = next->nextInFocusChain();
    EXPECT_EQ(next, w.dlg->Button(order[(i + 1) % std::size(order)])) << "after " << order[i];
  }
}

}  // namespace
