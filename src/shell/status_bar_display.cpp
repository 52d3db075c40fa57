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
    : label_(text), bar_(bar), text_(text.text()), position_(bar.value()), percent_(PercentOf(position_)) {
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

// The per-row call: nothing but arithmetic unless the percent changes.
void StatusBarDisplay::SetPosition(int position) {
  position_ = std::clamp(position, bar_.minimum(), bar_.maximum());
  const int percent = PercentOf(position_);
  const bool at_end = position_ == bar_.minimum() || position_ == bar_.maximum();
  if (percent == percent_ && !at_end) return;
  percent_ = percent;
  if (at_end || since_position_shown_.elapsed() >= kShowInterval) {
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

int StatusBarDisplay::Maximum() const { return bar_.maximum(); }

template <typename Change>
void StatusBarDisplay::ChangeRange(Change change) {
  bar_.setValue(position_);
  change();
  // The bar keeps, clamps or resets its value as the new range requires.
  position_ = bar_.value();
  percent_ = PercentOf(position_);
  position_held_ = false;
}

int StatusBarDisplay::PercentOf(int position) const {
  const int64_t span = int64_t{bar_.maximum()} - bar_.minimum();
  if (span <= 0) return 0;
  return static_cast<int>((int64_t{position} - bar_.minimum()) * 100 / span);
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
