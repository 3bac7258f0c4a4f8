#include "gui/msgdlg.h"

#include "core/report.h"
#include "gui/mnemonic.h"
#include "gui/qtext.h"
#include "gui/screens.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <cstdio>
#include <cstdlib>

namespace msgdlg {

namespace {

QString& TitleStore()
{
    static QString title;
    return title;
}

QString Sj(std::string_view s)
{
    return qtext::ToQ(s);
}

// CR LF and bare CR of Shift_JIS texts become line breaks on screen.
QString DisplayText(const QString& text)
{
    QString t = text;
    t.replace(u"\r\n"_qs, u"\n"_qs);
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

QString KindCaption(Kind kind)
{
    switch (kind) {
    case Kind::Information:
        return u"情報"_qs;
    case Kind::Warning:
        return u"警告"_qs;
    case Kind::Error:
        return u"エラー"_qs;
    case Kind::Confirmation:
        return u"確認"_qs;
    case Kind::Plain:
        break;
    }
    return AppTitle();
}

QString ButtonText(Button b)
{
    switch (b) {
    case Yes:
        return u"はい(&Y)"_qs;
    case No:
        return u"いいえ(&N)"_qs;
    case Ok:
        return u"OK"_qs;
    case Cancel:
        return u"キャンセル"_qs;
    case NoButton:
        break;
    }
    return QString();
}

constexpr Button kOrder[] = { Yes, No, Ok, Cancel };

Buttons Normalised(Buttons buttons)
{
    return buttons.toInt() != 0 ? buttons : Buttons(Ok);
}

Button EscapeButton(Buttons buttons)
{
    if (buttons.testFlag(Cancel))
        return Cancel;
    if (buttons.testFlag(No))
        return No;
    if (buttons.testFlag(Ok))
        return Ok;
    return Yes;
}

Button DefaultButton(Buttons buttons)
{
    if (buttons.testFlag(Ok))
        return Ok;
    if (buttons.testFlag(Yes))
        return Yes;
    for (Button b : kOrder)
        if (buttons.testFlag(b))
            return b;
    return Ok;
}

QWidget* ParentOr(QWidget* parent)
{
    return parent ? parent : QApplication::activeWindow();
}

const char* CallName(test::Call call)
{
    switch (call) {
    case test::Call::Message:
        return "message box";
    case test::Call::Input:
        return "input query";
    case test::Call::OpenFile:
        return "open-file dialog";
    case test::Call::SaveFile:
        return "save-file dialog";
    case test::Call::Color:
        return "colour dialog";
    case test::Call::Font:
        return "font dialog";
    }
    return "dialog";
}

std::string Describe(const test::Shown& s)
{
    std::string d = CallName(s.call);
    d += " \"";
    d += s.caption.toStdString();
    d += "\"";
    if (!s.text.isEmpty()) {
        d += ": ";
        d += DisplayText(s.text).toStdString();
    }
    return d;
}

void DefaultFailure(const std::string& problem)
{
    std::fprintf(stderr, "Kalvero: %s\n", problem.c_str());
    std::fflush(stderr);
    std::abort();
}

test::Script*& CurrentScript()
{
    static test::Script* current = nullptr;
    return current;
}

bool NobodyToAsk()
{
    return QGuiApplication::platformName() == u"offscreen"_qs;
}

// What a call does in test mode (or where nobody could answer): nothing when
// the dialog should really be shown, else the answer (or no answer, meaning
// the cancelling one).
struct Scripted
{
    bool active = false;
    std::optional<test::Script::Answer> answer;
};

bool& UnattendedFlag()
{
    static bool unattended = false;
    return unattended;
}

Scripted Consult(const test::Shown& shown)
{
    if (UnattendedFlag()) {
        // Nobody is there to answer: the text goes where it can be read
        // later, the answer is the cancelling one.
        std::fprintf(stderr, "Kalvero: %s\n", Describe(shown).c_str());
        std::fflush(stderr);
        return { true, std::nullopt };
    }
    if (test::Script* s = CurrentScript())
        return { true, s->Take(shown) };
    if (NobodyToAsk()) {
        DefaultFailure("unanswered " + Describe(shown) +
                       " (no person can answer on this platform)");
        return { true, std::nullopt };
    }
    return {};
}

// The message box: icon, text and the buttons in their fixed order.
class MessageDialog : public QDialog
{
public:
    MessageDialog(QWidget* parent, Kind kind, const QString& caption, const QString& text,
                  Buttons buttons)
        : QDialog(parent), escape_(EscapeButton(buttons))
    {
        setWindowTitle(caption);
        setWindowFlag(Qt::WindowContextHelpButtonHint, false);
        screens::KeepOnScreen(this);
        auto* top = new QHBoxLayout;
        QStyle::StandardPixmap icon = QStyle::SP_CustomBase;
        switch (kind) {
        case Kind::Information:
            icon = QStyle::SP_MessageBoxInformation;
            break;
        case Kind::Warning:
            icon = QStyle::SP_MessageBoxWarning;
            break;
        case Kind::Error:
            icon = QStyle::SP_MessageBoxCritical;
            break;
        case Kind::Confirmation:
            icon = QStyle::SP_MessageBoxQuestion;
            break;
        case Kind::Plain:
            break;
        }
        if (icon != QStyle::SP_CustomBase) {
            auto* iconLabel = new QLabel;
            const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
            iconLabel->setPixmap(style()->standardIcon(icon, nullptr, this).pixmap(size, size));
            iconLabel->setAlignment(Qt::AlignTop);
            top->addWidget(iconLabel);
        }
        auto* label = new QLabel(DisplayText(text));
        label->setTextFormat(Qt::PlainText);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        top->addWidget(label, 1);
        auto* row = new QHBoxLayout;
        row->addStretch();
        const Button def = DefaultButton(buttons);
        for (Button b : kOrder) {
            if (!buttons.testFlag(b))
                continue;
            auto* button = new QPushButton(ButtonText(b));
            button->setAutoDefault(false);
            if (b == def) {
                button->setDefault(true);
                button->setFocus();
            }
            button->setObjectName(ButtonText(b));
            connect(button, &QPushButton::clicked, this, [this, b] { done(b); });
            row->addWidget(button);
        }
        row->addStretch();
        auto* layout = new QVBoxLayout(this);
        layout->addLayout(top);
        layout->addLayout(row);
        layout->setSizeConstraint(QLayout::SetFixedSize);
    }

    // Escape and the close box answer with the escape button.
    void reject() override { done(escape_); }

protected:
    // "Y" alone answers "はい(&Y)", "N" "いいえ(&N)".
    void keyPressEvent(QKeyEvent* event) override
    {
        if (mnemonic::ClickButtonFor(this, event))
            return;
        QDialog::keyPressEvent(event);
    }

private:
    Button escape_;
};

// Names and patterns of a "name|pattern|name|pattern" list.
QStringList FilterList(const QString& filter)
{
    QStringList out;
    if (filter.isEmpty())
        return out;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString name = parts[i];
        QString pattern = i + 1 < parts.size() ? parts[i + 1] : QString();
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        pattern = pattern.simplified();
        if (pattern.isEmpty())
            pattern = u"*"_qs;
        out << name + u" ("_qs + pattern + u")"_qs;
    }
    return out;
}

QString WithDefaultExt(const QString& name, const QString& ext)
{
    if (ext.isEmpty() || name.isEmpty() || !QFileInfo(name).suffix().isEmpty())
        return name;
    QString e = ext;
    if (e.startsWith(QLatin1Char('.')))
        e.remove(0, 1);
    return name + QLatin1Char('.') + e;
}

QString FileDialogCaption(bool save, const FileDialogOptions& o)
{
    return o.title.isEmpty() ? (save ? u"名前を付けて保存"_qs : u"開く"_qs) : o.title;
}

std::unique_ptr<QFileDialog> NewFileDialog(bool save, const FileDialogOptions& o, QWidget* parent)
{
    auto dialog = std::make_unique<QFileDialog>(ParentOr(parent), FileDialogCaption(save, o));
    screens::KeepOnScreen(dialog.get());
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!o.initialDir.isEmpty())
        dialog->setDirectory(o.initialDir);
    if (!o.fileName.isEmpty()) {
        const QFileInfo info(o.fileName);
        if (info.path() != u"."_qs || o.initialDir.isEmpty())
            dialog->setDirectory(info.absolutePath());
        dialog->selectFile(info.fileName());
    }
    const QStringList filters = FilterList(o.filter);
    if (!filters.isEmpty()) {
        dialog->setNameFilters(filters);
        const int count = static_cast<int>(filters.size());
        const int index = o.filterIndex >= 1 && o.filterIndex <= count ? o.filterIndex : 1;
        dialog->selectNameFilter(filters[index - 1]);
    }
    if (!o.defaultExt.isEmpty())
        dialog->setDefaultSuffix(o.defaultExt);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, !o.overwritePrompt);
    return dialog;
}

FileChoice ChosenFile(const QFileDialog& dialog)
{
    FileChoice choice;
    const QStringList files = dialog.selectedFiles();
    choice.fileName = files.isEmpty() ? QString() : files.constFirst();
    const qsizetype chosen = dialog.nameFilters().indexOf(dialog.selectedNameFilter());
    choice.filterIndex = chosen < 0 ? 1 : static_cast<int>(chosen) + 1;
    return choice;
}

std::optional<FileChoice> FileDialog(bool save, const FileDialogOptions& o, QWidget* parent)
{
    test::Shown shown;
    shown.call = save ? test::Call::SaveFile : test::Call::OpenFile;
    shown.caption = FileDialogCaption(save, o);
    shown.initial = o.fileName;
    shown.filter = o.filter;
    shown.filterIndex = o.filterIndex;
    shown.initialDir = o.initialDir;
    const QStringList filters = FilterList(o.filter);
    const int count = filters.isEmpty() ? 1 : static_cast<int>(filters.size());
    if (Scripted s = Consult(shown); s.active) {
        if (!s.answer || s.answer->sort == test::Script::Answer::Sort::Cancel)
            return std::nullopt;
        FileChoice choice;
        choice.fileName = WithDefaultExt(s.answer->text, o.defaultExt);
        choice.filterIndex = s.answer->filterIndex;
        if (choice.filterIndex < 1 || choice.filterIndex > count) {
            CurrentScript()->Fail("scripted filter index " + std::to_string(choice.filterIndex) +
                                  " is not in the list of " + Describe(shown));
            return std::nullopt;
        }
        return choice;
    }

    const std::unique_ptr<QFileDialog> dialog = NewFileDialog(save, o, parent);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    return ChosenFile(*dialog);
}

} // namespace

void SetUnattended(bool unattended)
{
    UnattendedFlag() = unattended;
}

bool Unattended()
{
    return UnattendedFlag();
}

void SetAppTitle(const QString& title)
{
    TitleStore() = title;
}

QString AppTitle()
{
    return TitleStore();
}

Button Message(Kind kind, const QString& text, Buttons buttons, QWidget* parent,
               const QString& caption)
{
    buttons = Normalised(buttons);
    test::Shown shown;
    shown.call = test::Call::Message;
    shown.kind = kind;
    shown.caption = caption.isNull() ? KindCaption(kind) : caption;
    shown.text = text;
    shown.buttons = buttons;
    if (Scripted s = Consult(shown); s.active) {
        if (!s.answer || s.answer->sort == test::Script::Answer::Sort::Cancel)
            return EscapeButton(buttons);
        return s.answer->button;
    }
    MessageDialog dialog(ParentOr(parent), kind, shown.caption, text, buttons);
    return static_cast<Button>(dialog.exec());
}

Button Message(Kind kind, std::string_view sjisText, Buttons buttons, QWidget* parent,
               const QString& caption)
{
    return Message(kind, Sj(sjisText), buttons, parent, caption);
}

void Information(const QString& text, QWidget* parent)
{
    Message(Kind::Information, text, Ok, parent);
}
void Information(std::string_view sjisText, QWidget* parent)
{
    Information(Sj(sjisText), parent);
}
void Warning(const QString& text, QWidget* parent)
{
    Message(Kind::Warning, text, Ok, parent);
}
void Warning(std::string_view sjisText, QWidget* parent)
{
    Warning(Sj(sjisText), parent);
}
void Error(const QString& text, QWidget* parent)
{
    Message(Kind::Error, text, Ok, parent);
}
void Error(std::string_view sjisText, QWidget* parent)
{
    Error(Sj(sjisText), parent);
}
void ShowMessage(const QString& text, QWidget* parent)
{
    Message(Kind::Plain, text, Ok, parent);
}
void ShowMessage(std::string_view sjisText, QWidget* parent)
{
    ShowMessage(Sj(sjisText), parent);
}

void ShowException(const QString& message, QWidget* parent)
{
    QString text = message;
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    Message(Kind::Error, text, Ok, parent, AppTitle());
}
void ShowException(std::string_view sjisMessage, QWidget* parent)
{
    ShowException(Sj(sjisMessage), parent);
}

bool AskYesNo(const QString& text, Kind kind, QWidget* parent)
{
    return Message(kind, text, Yes | No, parent) == Yes;
}
bool AskYesNo(std::string_view sjisText, Kind kind, QWidget* parent)
{
    return AskYesNo(Sj(sjisText), kind, parent);
}
Button AskYesNoCancel(const QString& text, Kind kind, QWidget* parent)
{
    return Message(kind, text, Yes | No | Cancel, parent);
}
Button AskYesNoCancel(std::string_view sjisText, Kind kind, QWidget* parent)
{
    return AskYesNoCancel(Sj(sjisText), kind, parent);
}

std::optional<QString> InputQuery(const QString& caption, const QString& prompt,
                                  const QString& initial, QWidget* parent)
{
    test::Shown shown;
    shown.call = test::Call::Input;
    shown.caption = caption;
    shown.text = prompt;
    shown.initial = initial;
    if (Scripted s = Consult(shown); s.active) {
        if (!s.answer || s.answer->sort == test::Script::Answer::Sort::Cancel)
            return std::nullopt;
        return s.answer->text;
    }
    QDialog dialog(ParentOr(parent));
    dialog.setWindowTitle(caption);
    dialog.setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    screens::KeepOnScreen(&dialog);
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(DisplayText(prompt));
    label->setTextFormat(Qt::PlainText);
    auto* edit = new QLineEdit(initial);
    edit->selectAll();
    label->setBuddy(edit);
    auto* box = new QDialogButtonBox;
    box->addButton(ButtonText(Ok), QDialogButtonBox::AcceptRole)->setDefault(true);
    box->addButton(ButtonText(Cancel), QDialogButtonBox::RejectRole);
    box->setCenterButtons(true);
    QObject::connect(box, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(label);
    layout->addWidget(edit);
    layout->addWidget(box);
    dialog.setMinimumWidth(300);
    edit->setFocus();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return edit->text();
}

std::optional<std::string> InputQuery(std::string_view sjisCaption, std::string_view sjisPrompt,
                                      std::string_view sjisInitial, QWidget* parent)
{
    std::optional<QString> text =
        InputQuery(Sj(sjisCaption), Sj(sjisPrompt), Sj(sjisInitial), parent);
    if (!text)
        return std::nullopt;
    return qtext::FromQ(*text);
}

std::string FileChoice::path() const
{
    return QFile::encodeName(fileName).toStdString();
}

std::optional<FileChoice> OpenFile(const FileDialogOptions& options, QWidget* parent)
{
    return FileDialog(false, options, parent);
}

std::optional<FileChoice> SaveFile(const FileDialogOptions& options, QWidget* parent)
{
    return FileDialog(true, options, parent);
}

std::optional<QColor> ChooseColor(const QColor& initial, QWidget* parent)
{
    test::Shown shown;
    shown.call = test::Call::Color;
    shown.caption = u"色の設定"_qs;
    shown.color = initial;
    if (Scripted s = Consult(shown); s.active) {
        if (!s.answer || s.answer->sort == test::Script::Answer::Sort::Cancel)
            return std::nullopt;
        return s.answer->color;
    }
    // Qt's own dialog on every desktop: the same everywhere, and a test can
    // reach its widgets.
    const QColor c = QColorDialog::getColor(initial, ParentOr(parent), shown.caption,
                                            QColorDialog::DontUseNativeDialog);
    if (!c.isValid())
        return std::nullopt;
    return c;
}

std::optional<QFont> ChooseFont(const QFont& initial, QWidget* parent)
{
    test::Shown shown;
    shown.call = test::Call::Font;
    shown.caption = u"フォント"_qs;
    shown.font = initial;
    if (Scripted s = Consult(shown); s.active) {
        if (!s.answer || s.answer->sort == test::Script::Answer::Sort::Cancel)
            return std::nullopt;
        return s.answer->font;
    }
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, initial, ParentOr(parent), shown.caption,
                                         QFontDialog::DontUseNativeDialog);
    if (!ok)
        return std::nullopt;
    return f;
}

void InstallReportSink()
{
    report::SetSink([](report::Kind kind, const std::string& text) {
        switch (kind) {
        case report::Kind::Error:
            Error(std::string_view(text));
            break;
        case report::Kind::Warning:
            Warning(std::string_view(text));
            break;
        case report::Kind::Information:
            Information(std::string_view(text));
            break;
        }
    });
}

QString QtFilter(const QString& filter)
{
    return FilterList(filter).join(u";;"_qs);
}

namespace test {

std::string Shown::sjisText() const
{
    return qtext::FromQ(text);
}

Script::Script(FailureHandler onFailure)
    : onFailure_(onFailure ? std::move(onFailure) : FailureHandler(DefaultFailure)),
      previous_(CurrentScript())
{
    CurrentScript() = this;
}

Script::~Script()
{
    CurrentScript() = previous_;
    if (pendingAnswers() != 0)
        Fail(std::to_string(pendingAnswers()) + " scripted dialog answer(s) never used");
}

Script& Script::Press(Button button)
{
    Answer a;
    a.sort = Answer::Sort::Button;
    a.button = button;
    answers_.push_back(a);
    return *this;
}

Script& Script::Enter(const QString& text)
{
    Answer a;
    a.sort = Answer::Sort::Text;
    a.text = text;
    answers_.push_back(a);
    return *this;
}

Script& Script::ChooseFile(const QString& fileName, int filterIndex)
{
    Answer a;
    a.sort = Answer::Sort::File;
    a.text = fileName;
    a.filterIndex = filterIndex;
    answers_.push_back(a);
    return *this;
}

Script& Script::ChooseColor(const QColor& color)
{
    Answer a;
    a.sort = Answer::Sort::Color;
    a.color = color;
    answers_.push_back(a);
    return *this;
}

Script& Script::ChooseFont(const QFont& font)
{
    Answer a;
    a.sort = Answer::Sort::Font;
    a.font = font;
    answers_.push_back(a);
    return *this;
}

Script& Script::Cancel()
{
    answers_.push_back(Answer {});
    return *this;
}

std::vector<QString> Script::messages() const
{
    std::vector<QString> out;
    for (const Shown& s : shown_)
        if (s.call == Call::Message)
            out.push_back(s.text);
    return out;
}

void Script::Fail(const std::string& problem)
{
    onFailure_(problem);
}

std::optional<Script::Answer> Script::Take(const Shown& shown)
{
    shown_.push_back(shown);
    if (next_ >= answers_.size()) {
        Fail("unanswered " + Describe(shown));
        return std::nullopt;
    }
    const Answer a = answers_[next_++];
    using S = Answer::Sort;
    bool fits = a.sort == S::Cancel;
    switch (shown.call) {
    case Call::Message:
        fits = fits ||
            (a.sort == S::Button && shown.buttons.testFlag(a.button) &&
             (a.button == Yes || a.button == No || a.button == Ok || a.button == msgdlg::Cancel));
        break;
    case Call::Input:
        fits = fits || a.sort == S::Text;
        break;
    case Call::OpenFile:
    case Call::SaveFile:
        fits = fits || a.sort == S::File;
        break;
    case Call::Color:
        fits = fits || a.sort == S::Color;
        break;
    case Call::Font:
        fits = fits || a.sort == S::Font;
        break;
    }
    if (!fits) {
        Fail("scripted answer does not fit the " + Describe(shown));
        return std::nullopt;
    }
    return a;
}

Script* Current()
{
    return CurrentScript();
}

std::unique_ptr<QDialog> MakeMessageBox(Kind kind, const QString& text, Buttons buttons,
                                        const QString& caption)
{
    buttons = Normalised(buttons);
    return std::make_unique<MessageDialog>(
        nullptr, kind, caption.isNull() ? KindCaption(kind) : caption, text, buttons);
}

std::unique_ptr<QFileDialog> MakeFileDialog(bool save, const FileDialogOptions& options)
{
    return NewFileDialog(save, options, nullptr);
}

FileChoice FileDialogChoice(const QFileDialog& dialog)
{
    return ChosenFile(dialog);
}

} // namespace test

} // namespace msgdlg
