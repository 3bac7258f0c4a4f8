#pragma once

// The memo viewer of the alarm window and the memo editor of the entry
// dialog. Texts are Shift_JIS with CR LF line ends.

#include <QDialog>

#include <string>

class QLabel;
class QPlainTextEdit;
class QStatusBar;
class QVBoxLayout;

class TNoteForm : public QDialog
{
    Q_OBJECT
public:
    // Memo1 takes the memo font of the settings.
    explicit TNoteForm(QWidget* parent = nullptr);

    // Shows the text read-only, centred on the screen, captioned with the
    // title; returns when the viewer is closed.
    void ShowNote(const std::string& title, const std::string& text);
    // Lets the user edit the text and returns it, however the editor was
    // closed. The caller places the window before the call.
    std::string EditNote(const std::string& title, const std::string& text);

    QPlainTextEdit* Memo1;
    QStatusBar* StatusBar1;
    QLabel* StatusPanel; // the one panel of StatusBar1

protected:
    void showEvent(QShowEvent* event) override;

private:
    void SetBorderWidth(int width);
    QVBoxLayout* layout_;
    bool centre_ = false;
};
