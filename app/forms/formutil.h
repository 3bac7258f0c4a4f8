#pragma once

// Small helpers shared by the dialogs of this folder.

#include <QString>

#include <string>

class QDialog;
class QObject;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QWidget;

namespace forms {

// The number a component keeps for its handlers, in its "tag" property.
int Tag(const QObject* object);
void SetTag(QObject* object, int tag);

// Places a top-level window in the middle of the available area of its
// screen (the screen under the parent when there is one), its frame kept on
// the screen once the window manager has framed it.
void CenterOnScreen(QWidget* window);

// The available width of the screen a window shows on (the primary screen
// before it is shown); 0 when there is no screen.
int AvailableScreenWidth(const QWidget* window);

// Removes characters up to U+0020 (blanks and control characters) at both
// ends, as the core's Trim does with bytes; a double-byte blank stays.
QString TrimBlanks(const QString& text);
// The same on the text of an edit, put back into it.
void TrimEdit(QLineEdit* edit);

// The text of an edit as Shift_JIS bytes.
std::string EditText(const QLineEdit* edit);

// The "OK" and "キャンセル" buttons of a dialog under their object names,
// OK the default button and Cancel rejecting; returns the right-aligned row
// holding them. OK is left for the caller to connect (some dialogs check
// their fields first).
QHBoxLayout* OkCancelRow(QDialog* dialog, QPushButton*& ok, const QString& okName,
                         QPushButton*& cancel, const QString& cancelName);

// A push button under its object name that Enter does not press (Enter
// belongs to the dialog's default button).
QPushButton* Button(QWidget* parent, const QString& text, const QString& name);

// An edit that hides what is typed, under its object name.
QLineEdit* PasswordEdit(QWidget* parent, const QString& name);

} // namespace forms
