#pragma once

// The layout rule every window keeps on this system's fonts: each visible
// label, button, check box, radio button and group box gets the room its text
// asks for, lies inside its parent and overlaps no sibling; no dialog is
// taller than 740 pixels. Header only: the offscreen tests and the picture
// program under X use the same rule.
#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabBar>
#include <QWidget>
#include <string>
#include <vector>

#include "shell/designed_size.h"

namespace quill::testing {

constexpr int kTallestDialog = 740;

inline bool IsChecked(const QWidget* widget) {
  return qobject_cast<const QLabel*>(widget) || qobject_cast<const QAbstractButton*>(widget) ||
         qobject_cast<const QGroupBox*>(widget);
}

// Parts of composite controls draw their own pieces; they are not the
// window's controls.
inline bool InsideCompositeControl(const QWidget* widget, const QWidget* window) {
  for (const QWidget* parent = widget->parentWidget(); parent != nullptr && parent != window;
       parent = parent->parentWidget()) {
    if (qobject_cast<const QTabBar*>(parent) || qobject_cast<const QComboBox*>(parent)) return true;
  }
  return false;
}

inline QString Describe(const QWidget* widget) {
  QString text;
  if (auto* label = qobject_cast<const QLabel*>(widget)) text = label->text();
  if (auto* button = qobject_cast<const QAbstractButton*>(widget)) text = button->text();
  if (auto* group = qobject_cast<const QGroupBox*>(widget)) text = group->title();
  return widget->objectName() + " \"" + text.left(40) + "\"";
}

inline QString Rect(const QRect& rect) {
  return QString("(%1,%2 %3x%4)").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height());
}

// The room a control's text asks for; where its text wraps (a wrapped
// label, a group holding one), the height it needs at its own width.
inline bool HoldsItsText(const QWidget* widget) {
  const QSize hint = widget->sizeHint();
  if (widget->hasHeightForWidth()) {
    return widget->width() >= widget->minimumSizeHint().width() &&
           widget->height() >= widget->heightForWidth(widget->width());
  }
  return widget->width() >= hint.width() && widget->height() >= hint.height();
}

inline std::vector<std::string> LayoutFaults(QWidget* window) {
  std::vector<std::string> faults;
  if (window->isWindow() && window->height() > kTallestDialog && window->objectName() != "Form1")
    faults.push_back("the window is " + std::to_string(window->height()) + " px high");
  if (window->isWindow() && !window->windowFlags().testFlag(Qt::FramelessWindowHint) &&
      window->width() < TitleBarWidth(*window)) {
    faults.push_back("the window is " + std::to_string(window->width()) + " px wide, its title \"" +
                     window->windowTitle().toStdString() + "\" needs " + std::to_string(TitleBarWidth(*window)));
  }
  for (QWidget* widget : window->findChildren<QWidget*>()) {
    if (!IsChecked(widget) || !widget->isVisibleTo(window) || InsideCompositeControl(widget, window)) continue;
    const QString name = Describe(widget);
    if (!HoldsItsText(widget)) {
      faults.push_back((name + " " + Rect(widget->geometry()) + " is smaller than its text needs " +
                        QString("%1x%2").arg(widget->sizeHint().width()).arg(widget->sizeHint().height()))
                           .toStdString());
    }
    QWidget* parent = widget->parentWidget();
    if (!parent->rect().contains(widget->geometry())) {
      faults.push_back((name + " " + Rect(widget->geometry()) + " leaves its parent " + parent->objectName() + " " +
                        Rect(parent->rect()))
                           .toStdString());
    }
    for (QWidget* sibling : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (sibling == widget || sibling->isWindow() || !sibling->isVisibleTo(window)) continue;
      if (sibling->geometry().intersects(widget->geometry())) {
        faults.push_back((name + " " + Rect(widget->geometry()) + " overlaps " + sibling->objectName() + " " +
                          Rect(sibling->geometry()))
                             .toStdString());
      }
    }
  }
  return faults;
}

// Each visible drop-down box shows its current text whole, and the named
// read-only text panels (a summary, not a long reference list) show their
// text without scrolling; other faults are LayoutFaults'.
inline std::vector<std::string> ShownTextFaults(QWidget* window, const QStringList& whole_panels = {"Memo2"}) {
  std::vector<std::string> faults;
  for (QComboBox* box : window->findChildren<QComboBox*>()) {
    if (!box->isVisibleTo(window) || box->currentText().isEmpty()) continue;
    const QWidget* text_area = box->isEditable() ? static_cast<QWidget*>(box->lineEdit()) : box;
    const int room = box->isEditable() ? text_area->width() - 4 : box->width() - 30;
    const int needed = box->fontMetrics().horizontalAdvance(box->currentText());
    if (room < needed) {
      faults.push_back((box->objectName() + " \"" + box->currentText() + "\" " + Rect(box->geometry()) +
                        " has room for " + QString::number(room) + " px of text, not " + QString::number(needed))
                           .toStdString());
    }
  }
  for (QPlainTextEdit* panel : window->findChildren<QPlainTextEdit*>()) {
    if (!panel->isVisibleTo(window) || !whole_panels.contains(panel->objectName())) continue;
    if (panel->verticalScrollBar()->maximum() > 0 || panel->horizontalScrollBar()->maximum() > 0) {
      faults.push_back((panel->objectName() + " " + Rect(panel->geometry()) + " scrolls to show \"" +
                        panel->toPlainText().left(40) + "\"")
                           .toStdString());
    }
  }
  return faults;
}

}  // namespace quill::testing
