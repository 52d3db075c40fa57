#pragma once

#include <functional>
#include <string>

#include "sources/settings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QString;
class QVBoxLayout;

namespace quill {

class RadioGroup;

// Binds a control of a dialog to one field of the Settings object: every
// change of the control writes the field at once; the returned function
// shows the field in the control. A choice outside a control's items shows
// as nothing chosen, and the field then says so too.
std::function<void()> BindCheckBox(QCheckBox* box, Settings& settings, bool Settings::*field);
std::function<void()> BindLineEdit(QLineEdit* edit, Settings& settings, std::string Settings::*field);
std::function<void()> BindRadioGroup(RadioGroup* group, Settings& settings, int Settings::*field);
std::function<void()> BindComboBox(QComboBox* combo, Settings& settings, int Settings::*field);

// A word-wrapped label added to the column.
QLabel* AddWrappedLabel(QVBoxLayout* column, const QString& text);

}  // namespace quill
