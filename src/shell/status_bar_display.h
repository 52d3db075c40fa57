#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class QLabel;
class QProgressBar;

namespace quill {

// The main window's status text and progress bar as a run sets them. A run
// moves the bar once per row, and each widget call formats, measures and
// repaints, so the bar is set only when what it shows changes (another
// percent) and at most every 50 ms; a percent held back meanwhile is shown by
// a timer once the interval has passed (the run's Escape poll lets it
// through). The bar's ends are shown at once, so a run always ends at the
// maximum. A status text is shown when it differs from the one shown. The
// values read back are the ones last set.
class StatusBarDisplay : public QObject {
 public:
  StatusBarDisplay(QLabel& text, QProgressBar& bar);

  void SetText(const QString& text);
  const QString& Text() const { return text_; }

  void SetMinimum(int minimum);
  void SetMaximum(int maximum);
  void SetPosition(int position);
  int Maximum() const;
  int Position() const { return position_; }

 private:
  // Notes the position and the positions that show its percent.
  void NotePosition(int position);
  void ShowPosition();
  void ShowHeldBack();
  void HoldBack();
  // The bar shows the position last set, before its range changes.
  template <typename Change>
  void ChangeRange(Change change);

  QLabel& label_;
  QProgressBar& bar_;
  QString text_;
  int minimum_ = 0;
  int maximum_ = 0;
  int position_ = 0;
  // Positions strictly between these show position_'s percent.
  int percent_from_ = 0;
  int percent_to_ = 0;
  bool position_held_ = false;
  QElapsedTimer since_position_shown_;
  QTimer held_back_;
};

}  // namespace quill
