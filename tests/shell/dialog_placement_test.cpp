// Each dialog opens at its offsets from its owner at every showing, the
// first one too. Under a window manager that frames windows (the framed run
// of this test) the frame's top-left corner is what is placed, measured as
// the X server has it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <functional>

#include "fixtures/odbc_data_sources.h"
#include "options_dialogs_fixture.h"
#include "shell/about_box.h"
#include "shell/data_source_dialog.h"
#include "shell/replace_dialog.h"
#include "shell/table_selection_dialog.h"
#include "shell/update_check.h"

namespace quill {
namespace {

class DialogPlacementTest : public testing::OptionsDialogsTest {};

TEST_F(DialogPlacementTest, EveryShowingOpensAtTheOffsets) {
  testing::RegisterSystemDsn("Placed Source", testing::kSqliteDriver, {{"Database", "/tmp/placed.db"}});
  MainWindow& main = Window();
  main.show();
  testing::SettledFrameOnScreen(&main);
  TableSelectionDialog selection(main);
  DataSourceDialog add_source(main);
  AboutBox about(&main);
  UpdateCheckDialog update(main, "http://127.0.0.1:9");
  ReplaceDialog replace(main);
  const struct {
    const char* name;
    QDialog* dialog;
    QWidget* owner;
    QPoint offset;  // subtracted from the owner's centre
  } cases[] = {
      {"options", &Options(), &main, {142, 165}},
      {"date formats", &DateDialog(), &Options(), {257, 265}},
      {"table selection", &selection, &main, {208, 164}},
      {"add source", &add_source, &main, {144, 112}},
      {"about", &about, &main, {130, 141}},
      {"update", &update, &main, {124, 92}},
      {"replace", &replace, &main, {220, 193}},
  };
  for (const auto& test : cases) {
    for (int showing = 1; showing <= 3; ++showing) {
      QPoint opened_at;
      testing::WhenSettled(
          test.dialog, [&] { return test.dialog; },
          [&](QWidget*, const QRect& frame) {
            opened_at = frame.topLeft();
            test.dialog->reject();
          });
      if (test.dialog == &about) about.Open();
      else test.dialog->exec();
      const QRect owner = testing::FrameOnScreen(test.owner);
      const QPoint expected(owner.left() + owner.width() / 2 - test.offset.x(),
                            owner.top() + owner.height() / 2 - test.offset.y());
      EXPECT_EQ(opened_at, expected) << test.name << ", showing " << showing;
    }
  }
  testing::RemoveSystemDsn("Placed Source");
}

// A plain message placed by its offsets from the main window's centre: its
// frame's corner is at the point, whichever offsets and however often.
TEST_F(DialogPlacementTest, PlacedMessagesOpenAtTheirPoint) {
  MainWindow& main = Window();
  main.show();
  testing::SettledFrameOnScreen(&main);
  WidgetDialogPresenter real_dialogs;
  const QPoint offsets[] = {{100, 60}, {200, 60}, {100, 60}, {-50, -40}};
  int showing = 0;
  for (const QPoint& offset : offsets) {
    ++showing;
    const QRect owner = testing::FrameOnScreen(&main);
    const QPoint point(owner.left() + owner.width() / 2 - offset.x(), owner.top() + owner.height() / 2 - offset.y());
    QPoint opened_at;
    testing::WhenSettled(
        &main, [] { return QApplication::activeModalWidget(); },
        [&](QWidget* box, const QRect& frame) {
          opened_at = frame.topLeft();
          box->close();
        });
    real_dialogs.ShowMessage(&main, kProductName, "All occurrences replaced.", MessageIcon::None,
                             MessageButtons::Ok, false, point);
    EXPECT_EQ(opened_at, point) << "offsets " << offset.x() << ", " << offset.y();
  }
}

}  // namespace
}  // namespace quill
