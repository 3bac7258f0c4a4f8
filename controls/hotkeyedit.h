#pragma once

// THotKeyEdit: the field in which a global hot key is set by pressing it.
// It holds one stored hot-key code (settingsqt: the virtual key in the low
// byte, Shift 0x2000, Ctrl 0x4000, Alt 0x8000) and shows it as key names.
//
// A combination counts only with Ctrl or Alt (Shift may come with them): a
// key pressed alone or with Shift alone would be taken from every other
// program once grabbed. Keys without a stored code are ignored as well.
// Backspace or Delete alone clears the field to 0 (no hot key); Tab, Enter
// and Escape alone go on to the focus chain and the dialog.

#include <QLineEdit>

#include <cstdint>
#include <optional>

class THotKeyEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit THotKeyEdit(QWidget* parent = nullptr);

    std::uint16_t HotKey() const { return code_; }
    // Any code is kept as given (a code this machine cannot show shows as
    // none but is not lost).
    void SetHotKey(std::uint16_t code);

    // The code a key press gives: nothing for a key the field ignores, 0
    // for one that clears it.
    static std::optional<std::uint16_t> CodeOfKey(int key, Qt::KeyboardModifiers modifiers);

signals:
    void Changed();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::uint16_t code_ = 0;
};
