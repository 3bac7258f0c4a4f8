// The hot-key field: which key presses it takes, keeps or clears, driven
// through real key events.
#include "controls/hotkeyedit.h"

#include <QDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

struct KeyCase
{
    const char* what;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int code; // the field's code afterwards; -1: unchanged
};

const KeyCase kKeys[] = {
    { "Ctrl+Alt+K", Qt::Key_K, Qt::ControlModifier | Qt::AltModifier, 0xC04B },
    { "Shift+Ctrl+F2", Qt::Key_F2, Qt::ShiftModifier | Qt::ControlModifier, 0x6071 },
    { "Alt+number pad 5", Qt::Key_5, Qt::AltModifier | Qt::KeypadModifier, 0x8065 },
    { "a letter alone", Qt::Key_K, Qt::NoModifier, -1 },
    { "Shift alone with a key", Qt::Key_F2, Qt::ShiftModifier, -1 },
    { "a modifier key itself", Qt::Key_Control, Qt::ControlModifier, -1 },
    { "the Windows key with Ctrl", Qt::Key_K, Qt::ControlModifier | Qt::MetaModifier, -1 },
    { "a key without a stored code", Qt::Key_Eacute, Qt::ControlModifier, -1 },
    { "Backspace", Qt::Key_Backspace, Qt::NoModifier, 0 },
    { "Shift+Delete", Qt::Key_Delete, Qt::ShiftModifier, 0 },
};

TEST(HotKeyEdit, TakesOnlyCombinationsWithCtrlOrAltAndClearsOnBackspaceOrDelete)
{
    THotKeyEdit edit;
    edit.show();
    for (const KeyCase& c : kKeys) {
        edit.SetHotKey(0x4041); // Ctrl+A
        QSignalSpy changed(&edit, &THotKeyEdit::Changed);
        QTest::keyClick(&edit, c.key, c.modifiers);
        const int expected = c.code < 0 ? 0x4041 : c.code;
        EXPECT_EQ(edit.HotKey(), expected) << c.what;
        EXPECT_EQ(changed.count(), expected != 0x4041 ? 1 : 0) << c.what;
    }
}

TEST(HotKeyEdit, ShowsTheKeyNamesAndKeepsACodeItCannotShow)
{
    THotKeyEdit edit;
    edit.SetHotKey(0xC04B);
    EXPECT_EQ(edit.text(), u"Ctrl+Alt+K"_qs);
    edit.SetHotKey(0);
    EXPECT_EQ(edit.text(), QString());
    EXPECT_EQ(edit.placeholderText(), u"なし"_qs);
    // 0xFF has no key here; the stored code is kept as it is.
    edit.SetHotKey(0x40FF);
    EXPECT_EQ(edit.text(), QString());
    EXPECT_EQ(edit.HotKey(), 0x40FF);
}

TEST(HotKeyEdit, EnterAndEscapeStillReachTheDialog)
{
    QDialog dialog;
    auto* edit = new THotKeyEdit(&dialog);
    auto* ok = new QPushButton(u"OK"_qs, &dialog);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(edit);
    layout->addWidget(ok);
    dialog.show();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    dialog.show();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(edit->HotKey(), 0);
}

} // namespace
