#include "shell/status_bar_display.h"

#include <QLabel>
#include <QProgressBar>
#include <algorithm>
#include <cstdint>

namespace quill {
namespace {

constexpr int kShowInterval = 50;  // ms between two changes shown

}  // namespace

StatusBarDisplay::StatusBarDisplay(QLabel& text, QProgressBar& bar)
    : label_(text), bar_(bar), text_(text.text()), minimum_(bar.minimum()), maximum_(bar.maximum()) {
  NotePosition(bar.value());
  held_back_.setSingleShot(true);
  connect(&held_back_, &QTimer::timeout, this, [this] { ShowHeldBack(); });
  since_position_shown_.start();
}

// A status text changes once per step of a command (a table, a file), never
// per row: each new one is shown at once, so every step's text appears.
void StatusBarDisplay::SetText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  label_.setText(text_);
  label_.repaint();
}

// The per-row call: two comparisons unless the percent changes.
void StatusBarDisplay::SetPosition(int position) {
  if (position > percent_from_ && position < percent_to_) {
    position_ = position;
    return;
  }
  NotePosition(std::clamp(position, minimum_, maximum_));
  if (position_ == minimum_ || position_ == maximum_ || since_position_shown_.elapsed() >= kShowInterval) {
    ShowPosition();
  } else {
    position_held_ = true;
    HoldBack();
  }
}

void StatusBarDisplay::SetMinimum(int minimum) {
  if (minimum != bar_.minimum()) ChangeRange([&] { bar_.setMinimum(minimum); });
}

void StatusBarDisplay::SetMaximum(int maximum) {
  if (maximum != bar_.maximum()) ChangeRange([&] { bar_.setMaximum(maximum); });
}

int StatusBarDisplay::Maximum() const { return maximum_; }

template <typename Change>
void StatusBarDisplay::ChangeRange(Change change) {
  bar_.setValue(position_);
  change();
  minimum_ = bar_.minimum();
  maximum_ = bar_.maximum();
  // The bar keeps, clamps or resets its value as the new range requires.
  NotePosition(bar_.value());
  position_held_ = false;
}

// The positions strictly between the range's ends that show the same
// percent as this one: (percent_from_, percent_to_), ends never inside.
void StatusBarDisplay::NotePosition(int position) {
  position_ = position;
  const int64_t span = int64_t{maximum_} - minimum_;
  if (span <= 0 || position < minimum_ || position > maximum_) {
    percent_from_ = percent_to_ = position;
    return;
  }
  const int64_t percent = (int64_t{position} - minimum_) * 100 / span;
  // The first offset of a percent p is ceil(p * span / 100).
  const int64_t first = (percent * span + 99) / 100;
  const int64_t next = ((percent + 1) * span + 99) / 100;
  percent_from_ = static_cast<int>(std::max<int64_t>(minimum_, minimum_ + first - 1));
  percent_to_ = static_cast<int>(std::min<int64_t>(maximum_, minimum_ + next));
}

void StatusBarDisplay::ShowPosition() {
  bar_.setValue(position_);
  position_held_ = false;
  since_position_shown_.restart();
}

void StatusBarDisplay::ShowHeldBack() {
  if (position_held_) ShowPosition();
}

void StatusBarDisplay::HoldBack() {
  if (!held_back_.isActive()) held_back_.start(kShowInterval);
}

}  // namespace quill
