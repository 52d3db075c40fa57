#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QScrollArea>
#include <functional>
#include <string>

namespace quill {

class MainWindow;

// What the buttons of a welcome page do, by the page's CODE numbers.
enum class WelcomeCommandCode { ShowOptionsPage1 = 1, ShowOptionsPage2 = 2, ShowOptionsPage0 = 3, ShowOdbcSources = 4 };

using WelcomeCommandHandler = std::function<void(WelcomeCommandCode)>;

// Where the background picture goes: the part source of the bitmap is drawn
// at target (client co-ordinates); an empty source draws nothing.
struct WelcomeBackground {
  QRect source;
  QPoint target;
};
// One copy, not tiled, moving with the scroll position and starting again
// after every full bitmap width or height.
WelcomeBackground WelcomeBackgroundPlacement(int client_width, int client_height, int bitmap_width,
                                             int bitmap_height, int scroll_x, int scroll_y);

// The white scroll box over the script area: a picture at its top left and
// the rows of a welcome page, texts each with an optional button.
class WelcomePanel : public QScrollArea {
  Q_OBJECT

 public:
  WelcomePanel(QWidget* parent, WelcomeCommandHandler handler);

  void SetBackBitmap(const QImage& bitmap);
  const QImage& BackBitmap() const { return back_bitmap_; }

  // Replaces the rows with those of the page at file_name (relative paths
  // against the current folder). A page that does not load leaves the panel
  // empty; a CODE that is not a number throws std::runtime_error, keeping
  // the rows made so far.
  void Build(const std::string& file_name);

  QWidget* Contents() const { return contents_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void RemoveRows();

  WelcomeCommandHandler handler_;
  QImage back_bitmap_;
  QWidget* contents_;
};

// Puts the welcome panel into the main window's placeholder ("Bevel2"),
// filling it and following its size, with the built-in picture.
WelcomePanel* InstallWelcomePanel(QWidget* placeholder, WelcomeCommandHandler handler);

// The main window's commands for the buttons: the options dialog on the
// Login, BLOB or Dates page; show_odbc_sources for the driver list.
WelcomeCommandHandler MainWindowWelcomeCommands(MainWindow& main_window, std::function<void()> show_odbc_sources);

}  // namespace quill
