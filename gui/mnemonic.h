#pragma once

// The underlined letter of a button ("はい(&Y)") answers a dialog when it is
// pressed alone, as the captions promise: in a dialog where no edit takes
// the typed letters, the letter clicks the button it marks.

#include <QChar>
#include <QString>

class QKeyEvent;
class QWidget;

namespace mnemonic {

// The letter a caption marks with "&" ("&&" is a plain "&"), in upper case;
// a null QChar when it marks none.
QChar Letter(const QString& caption);

// Clicks the visible, enabled button of window whose marked letter was
// typed, when the key comes without Ctrl, Alt or Meta (Alt with the letter is
// Qt's own shortcut). True when a button was clicked.
bool ClickButtonFor(QWidget* window, const QKeyEvent* event);

} // namespace mnemonic
