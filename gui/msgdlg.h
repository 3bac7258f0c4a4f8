#pragma once

// Every message box, question, input query and file, colour or font dialog of
// Kalvero goes through here, so that tests answer them without a person (see
// msgdlg::test below) and read back what was shown.
//
// Texts come either as QString or as Shift_JIS bytes (std::string, the core's
// text); Shift_JIS line ends CR LF are shown as line breaks.

#include <QColor>
#include <QDialog>
#include <QFlags>
#include <QFont>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QFileDialog;
class QWidget;

namespace msgdlg {

// The icon and the caption of a message box: information "情報", warning
// "警告", error "エラー", confirmation "確認" (a question mark); Plain has no
// icon and the application title as its caption (a plain message box).
enum class Kind { Information, Warning, Error, Confirmation, Plain };

// Buttons, shown in this order whatever order a set is written in:
// "はい(&Y)", "いいえ(&N)", "OK", "キャンセル". A message returns the button
// pressed; Escape and the close box give Cancel when shown, else No, else OK.
enum Button { NoButton = 0x0, Yes = 0x1, No = 0x2, Ok = 0x4, Cancel = 0x8 };
Q_DECLARE_FLAGS(Buttons, Button)

// The caption of plain message boxes and of the error box for exceptions.
void SetAppTitle(const QString& title);
QString AppTitle();

// A message box. parent is the window the box is modal to; nullptr takes the
// active window. caption, when not null, replaces the caption of the kind.
Button Message(Kind kind, const QString& text, Buttons buttons = Ok, QWidget* parent = nullptr,
               const QString& caption = QString());
Button Message(Kind kind, std::string_view sjisText, Buttons buttons = Ok,
               QWidget* parent = nullptr, const QString& caption = QString());

// One OK button each.
void Information(const QString& text, QWidget* parent = nullptr);
void Information(std::string_view sjisText, QWidget* parent = nullptr);
void Warning(const QString& text, QWidget* parent = nullptr);
void Warning(std::string_view sjisText, QWidget* parent = nullptr);
void Error(const QString& text, QWidget* parent = nullptr);
void Error(std::string_view sjisText, QWidget* parent = nullptr);
// Plain message box with the application title.
void ShowMessage(const QString& text, QWidget* parent = nullptr);
void ShowMessage(std::string_view sjisText, QWidget* parent = nullptr);
// The error box an escaped exception is shown in: the application title, the
// error icon and the message, given a final "." unless it ends in one.
void ShowException(const QString& message, QWidget* parent = nullptr);
void ShowException(std::string_view sjisMessage, QWidget* parent = nullptr);

// Yes/No question (confirmation icon unless another kind is given): true on Yes.
bool AskYesNo(const QString& text, Kind kind = Kind::Confirmation, QWidget* parent = nullptr);
bool AskYesNo(std::string_view sjisText, Kind kind = Kind::Confirmation, QWidget* parent = nullptr);
// Yes/No/Cancel question: Yes, No or Cancel (Escape).
Button AskYesNoCancel(const QString& text, Kind kind = Kind::Confirmation,
                      QWidget* parent = nullptr);
Button AskYesNoCancel(std::string_view sjisText, Kind kind = Kind::Confirmation,
                      QWidget* parent = nullptr);

// A single-line text query with OK and "キャンセル": the text on OK, nothing on
// Cancel.
std::optional<QString> InputQuery(const QString& caption, const QString& prompt,
                                  const QString& initial = QString(), QWidget* parent = nullptr);
std::optional<std::string> InputQuery(std::string_view sjisCaption, std::string_view sjisPrompt,
                                      std::string_view sjisInitial = {}, QWidget* parent = nullptr);

// File dialogs. filter is a list of name|pattern pairs joined by "|"
// ("スケジュール(SCH)|*.sch|CSVファイル|*.csv"; patterns may hold several
// masks separated by ";"); filterIndex counts from 1 (0 or out of range
// selects the first). defaultExt (without dot) is appended to a chosen name
// without extension.
struct FileDialogOptions
{
    QString title; // empty: "開く" or "名前を付けて保存"
    QString filter;
    int filterIndex = 1;
    QString fileName; // initial name; a path also sets the folder
    QString initialDir;
    QString defaultExt;
    bool overwritePrompt = false; // save: ask before replacing a file
};
struct FileChoice
{
    QString fileName;
    int filterIndex = 1; // the filter the user chose, counted from 1
    // The name as bytes for the file functions of the core.
    std::string path() const;
};
std::optional<FileChoice> OpenFile(const FileDialogOptions& options, QWidget* parent = nullptr);
std::optional<FileChoice> SaveFile(const FileDialogOptions& options, QWidget* parent = nullptr);

// Colour and font dialogs: the choice on OK, nothing on Cancel.
std::optional<QColor> ChooseColor(const QColor& initial, QWidget* parent = nullptr);
std::optional<QFont> ChooseFont(const QFont& initial, QWidget* parent = nullptr);

// Where nobody will answer any more (a shutdown started by a signal): from
// now on no dialog is shown; messages are written to standard error and
// every question, input query and file dialog gets its cancelling answer.
// This holds over a test Script too. Off again with false.
void SetUnattended(bool unattended);
bool Unattended();

// Routes report::Show (messages of code without a window, such as the file
// writers) into message boxes of the matching kind. Returns nothing; the
// sink stays until report::SetSink replaces it.
void InstallReportSink();

// The Qt filter text ("name (*.a);;name2 (*.b *.c)") of a filter list.
QString QtFilter(const QString& filter);

namespace test {

enum class Call { Message, Input, OpenFile, SaveFile, Color, Font };

// One dialog as it was shown.
struct Shown
{
    Call call = Call::Message;
    Kind kind = Kind::Information; // messages only
    QString caption; // message and input caption, file dialog title
    QString text; // message text or input prompt, as passed (CR LF kept)
    Buttons buttons; // messages only
    QString initial; // input: initial text; file: initial name
    QString filter; // file dialogs: the filter list as passed
    int filterIndex = 0; // file dialogs: the initial filter index
    QString initialDir; // file dialogs
    QColor color; // colour dialog: initial colour
    QFont font; // font dialog: initial font
    std::string sjisText() const; // text as Shift_JIS bytes
};

// While a Script exists, no dialog is shown: each call takes the next scripted
// answer and records what would have been shown. A call without an answer, or
// with an answer of the wrong sort (a file for a message, a button that is
// not shown), goes to the failure handler and gets the cancelling answer; so
// does a Script that ends with answers left unused. The default handler
// prints the problem and aborts, so a forgotten answer can never block a
// test; test programs pass one that records a test failure.
//
// Without a Script, on the "offscreen" platform every call counts as
// unanswered in the same way, since nobody could answer it there.
class Script
{
public:
    using FailureHandler = std::function<void(const std::string& problem)>;
    explicit Script(FailureHandler onFailure = {});
    ~Script();
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    // Answers, taken in order.
    Script& Press(Button button); // a message box button
    Script& Enter(const QString& text); // an input query, OK
    Script& ChooseFile(const QString& fileName, int filterIndex = 1); // a file dialog, OK
    Script& ChooseColor(const QColor& color); // the colour dialog, OK
    Script& ChooseFont(const QFont& font); // the font dialog, OK
    Script& Cancel(); // any dialog: Cancel (messages: the Escape answer)

    const std::vector<Shown>& shown() const { return shown_; }
    // Texts of the messages only, in order.
    std::vector<QString> messages() const;
    std::size_t pendingAnswers() const { return answers_.size() - next_; }

    struct Answer
    {
        enum class Sort { Button, Text, File, Color, Font, Cancel } sort = Sort::Cancel;
        Button button = NoButton;
        QString text; // input text or file name
        int filterIndex = 1;
        QColor color;
        QFont font;
    };

    // Used by the dialog functions: records a call and hands out its answer
    // (nothing when there is none, after the failure handler ran).
    std::optional<Answer> Take(const Shown& shown);
    void Fail(const std::string& problem);

private:
    FailureHandler onFailure_;
    std::vector<Answer> answers_;
    std::size_t next_ = 0;
    std::vector<Shown> shown_;
    Script* previous_;
};

// The Script in force, nullptr when none.
Script* Current();

// The real message box, for checking its look: buttons are QPushButtons named
// after their texts; exec() and result() give the Button chosen.
std::unique_ptr<QDialog> MakeMessageBox(Kind kind, const QString& text, Buttons buttons = Ok,
                                        const QString& caption = QString());

// The real file dialog of OpenFile (save false) or SaveFile, set up from the
// options as they set it up, for driving it; FileDialogChoice reads the
// choice from it as they do after OK.
std::unique_ptr<QFileDialog> MakeFileDialog(bool save, const FileDialogOptions& options);
FileChoice FileDialogChoice(const QFileDialog& dialog);

} // namespace test

} // namespace msgdlg

Q_DECLARE_OPERATORS_FOR_FLAGS(msgdlg::Buttons)
