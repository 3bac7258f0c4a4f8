#include "controls/hotkeyedit.h"

#include "gui/hotkeycode.h"

#include <QKeyEvent>

THotKeyEdit::THotKeyEdit(QWidget* parent) : QLineEdit(parent)
{
    // The text is only ever the name of the key held; nothing can be typed,
    // pasted or dropped into it.
    setReadOnly(true);
    setContextMenuPolicy(Qt::NoContextMenu);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setPlaceholderText(u"なし"_qs);
}

void THotKeyEdit::SetHotKey(std::uint16_t code)
{
    code_ = code;
    setText(settingsqt::ToKeySequence(code).toString(QKeySequence::NativeText));
}

std::optional<std::uint16_t> THotKeyEdit::CodeOfKey(int key, Qt::KeyboardModifiers modifiers)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case 0:
    case Qt::Key_unknown:
        return std::nullopt;
    default:
        break;
    }
    if (!(modifiers & (Qt::ControlModifier | Qt::AltModifier))) {
        if ((key == Qt::Key_Backspace || key == Qt::Key_Delete) && !(modifiers & Qt::MetaModifier))
            return std::uint16_t(0);
        return std::nullopt;
    }
    const std::uint16_t code =
        settingsqt::FromKeySequence(QKeySequence(QKeyCombination(modifiers, Qt::Key(key))));
    if (code == 0)
        return std::nullopt;
    return code;
}

bool THotKeyEdit::event(QEvent* event)
{
    // A combination for the field must not fire a shortcut of the window.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (CodeOfKey(key->key(), key->modifiers())) {
            event->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void THotKeyEdit::keyPressEvent(QKeyEvent* event)
{
    const std::optional<std::uint16_t> code = CodeOfKey(event->key(), event->modifiers());
    if (!code) {
        // Enter and Escape belong to the dialog.
        const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (plain &&
            (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
             event->key() == Qt::Key_Escape))
            event->ignore();
        else
            event->accept();
        return;
    }
    event->accept();
    if (*code == code_)
        return;
    SetHotKey(*code);
    emit Changed();
}
