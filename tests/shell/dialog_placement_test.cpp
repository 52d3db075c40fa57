// Each dialog opens at its offsets from its owner at every showing, the
// first one too. Under a window manager that frames windows (the framed run
// of this test) the frame's top-left corner is what is placed, measured as
// the X server has it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <cstdlib>
#include <functional>

#include "fixtures/odbc_data_sources.h"
#include "layout_faults.h"
#include "options_dialogs_fixture.h"
#include "shell/about_box.h"
#include "shell/data_source_dialog.h"
#include "shell/designed_size.h"
#include "shell/replace_dialog.h"
#include "shell/table_selection_dialog.h"
#include "shell/update_check.h"

namespace quill {
namespace {

// The small dialogs the main window owns besides the options dialogs.
struct MainWindowDialogs {
  explicit MainWindowDialogs(MainWindow& main)
      : selection(main), add_source(main), about(&main), update(main, "http://127.0.0.1:9"), replace(main) {}
  TableSelectionDialog selection;
  DataSourceDialog add_source;
  AboutBox about;
  UpdateCheckDialog update;
  ReplaceDialog replace;
};

class DialogPlacementTest : public testing::OptionsDialogsTest {
 protected:
  ~DialogPlacementTest() override { testing::RemoveSystemDsn("Placed Source"); }

  // A source to list (the options dialog asks for one) and the main window
  // shown and framed.
  void ShowMainWindow() {
    testing::RegisterSystemDsn("Placed Source", testing::kSqliteDriver, {{"Database", "/tmp/placed.db"}});
    Window().show();
    testing::SettledFrameOnScreen(&Window());
  }
};

TEST_F(DialogPlacementTest, EveryShowingOpensAtTheOffsets) {
  MainWindow& main = Window();
  ASSERT_NO_FATAL_FAILURE(ShowMainWindow());
  MainWindowDialogs owned(main);
  auto& [selection, add_source, about, update, replace] = owned;
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
      QRect opened;
      testing::WhenSettled(
          test.dialog, [&] { return test.dialog; },
          [&](QWidget*, const QRect& frame) {
            opened = frame;
            test.dialog->reject();
          });
      if (test.dialog == &about) about.Open();
      else test.dialog->exec();
      const QRect owner = testing::FrameOnScreen(test.owner);
      const QPoint offsets(owner.left() + owner.width() / 2 - test.offset.x(),
                           owner.top() + owner.height() / 2 - test.offset.y());
      // Where the offsets would put a part of it off the screen, it is moved onto it.
      const QPoint expected = testing::PlaceOnArea(offsets, opened.size(), test.dialog->screen()->availableGeometry());
      EXPECT_EQ(opened.topLeft(), expected) << test.name << ", showing " << showing;
    }
  }
}

// Wherever the main window stands, and however small the screen's available
// area (a panel, a scale factor), each dialog's frame lies on that area: at
// its offsets where they leave it there, else moved onto it, and no larger
// than the area (its lists and pages scroll).
TEST_F(DialogPlacementTest, EveryDialogOpensOnTheScreen) {
  MainWindow& main = Window();
  ASSERT_NO_FATAL_FAILURE(ShowMainWindow());
  MainWindowDialogs owned(main);
  auto& [selection, add_source, about, update, replace] = owned;
  WidgetDialogPresenter real_dialogs;
  const QRect room = main.screen()->availableGeometry();
  const struct {
    const char* name;
    QDialog* dialog;  // nullptr: a placed message
  } dialogs[] = {
      {"options", &Options()},     {"date formats", &DateDialog()}, {"table selection", &selection},
      {"add source", &add_source}, {"about", &about},               {"update", &update},
      {"replace", &replace},       {"placed message", nullptr},
  };
  // The main window's frame put in a corner of the area, at its smallest.
  const struct {
    const char* name;
    QPoint corner;
  } places[] = {
      {"top left", room.topLeft()},
      {"bottom right", room.bottomRight() + QPoint(1, 1) - QPoint(main.minimumWidth(), main.minimumHeight())},
      {"bottom left", QPoint(room.left(), room.bottom() + 1 - main.minimumHeight())},
  };
  for (const auto& place : places) {
    main.resize(main.minimumSize());
    PlaceWindowFrame(&main, place.corner);
    testing::SettledFrameOnScreen(&main);
    for (const auto& test : dialogs) {
      QRect opened;
      testing::WhenSettled(
          &main,
          [&] { return test.dialog != nullptr ? static_cast<QWidget*>(test.dialog) : QApplication::activeModalWidget(); },
          [&](QWidget* shown, const QRect& frame) {
            const qreal ratio = shown->devicePixelRatioF();
            opened = QRect(QPoint(qRound(frame.x() / ratio), qRound(frame.y() / ratio)),
                           QSize(qRound(frame.width() / ratio), qRound(frame.height() / ratio)));
            if (test.dialog != nullptr) test.dialog->reject();
            else shown->close();
          });
      const QRect owner = main.frameGeometry();
      if (test.dialog == &about) about.Open();
      else if (test.dialog != nullptr) test.dialog->exec();
      else
        real_dialogs.ShowMessage(&main, kProductName, "No system sources found", MessageIcon::None,
                                 MessageButtons::Ok, false,
                                 QPoint(owner.left() + owner.width() / 2 - 200, owner.top() + owner.height() / 2 - 60));
      SCOPED_TRACE(std::string(test.name) + ", main window at the " + place.name);
      // On each axis the frame lies within the area, its buttons in reach;
      // a pixel's rounding either way at a scale factor.
      const auto on_axis = [](int start, int length, int room_start, int room_length) {
        return start >= room_start - 1 && start + length <= room_start + room_length + 1;
      };
      EXPECT_TRUE(on_axis(opened.left(), opened.width(), room.left(), room.width()) &&
                  on_axis(opened.top(), opened.height(), room.top(), room.height()))
          << testing::Rect(opened).toStdString() << " on " << testing::Rect(room).toStdString();
    }
  }
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
