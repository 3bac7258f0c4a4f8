#include "app/forms/exportform.h"

#include "app/forms/datepicker.h"
#include "app/forms/formutil.h"
#include "controls/bevlabel.h"
#include "core/files.h"
#include "core/sjis.h"
#include "gui/application.h"
#include "gui/guards.h"
#include "gui/msgdlg.h"
#include "gui/qtext.h"
#include "view/wscheduler.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>
#include <unordered_set>

using exporter::ExportFormat;
using exporter::ExportRange;

namespace {

QLabel* NewLabel(const QString& text, const char* name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QCheckBox* NewCheck(const QString& text, const char* name, bool checked, QWidget* parent)
{
    auto* check = new QCheckBox(text, parent);
    check->setObjectName(QLatin1String(name));
    check->setChecked(checked);
    return check;
}

QRadioButton* NewRadio(const QString& text, const char* name, ExportRange range, QWidget* parent)
{
    auto* radio = new QRadioButton(text, parent);
    radio->setObjectName(QLatin1String(name));
    forms::SetTag(radio, static_cast<int>(range));
    return radio;
}

TDatePicker* NewDate(const char* name, QWidget* parent)
{
    auto* picker = new TDatePicker(parent);
    picker->setObjectName(QLatin1String(name));
    return picker;
}

// The save dialog's filter: the formats that can be chosen, by name.
QString SaveFilter()
{
    QStringList parts;
    for (ExportFormat format :
         { ExportFormat::VCalendar, ExportFormat::Csv, ExportFormat::CsvTemplate })
        parts << qtext::ToQ(exporter::FormatName(format))
              << u"*"_qs + QString::fromLatin1(exporter::FormatExtension(format));
    return parts.join(u'|');
}

// The progress of a long export: nothing while it is short, then a window
// whose Cancel stops it.
class TExportProgress
{
public:
    TExportProgress(QWidget* owner, int delay) : owner_(owner), delay_(delay) { clock_.start(); }

    bool Tick(std::int64_t done, std::int64_t total)
    {
        if (!dialog_) {
            if (clock_.elapsed() < delay_)
                return true;
            dialog_ = std::make_unique<QProgressDialog>(u"エクスポートしています..."_qs,
                                                        u"キャンセル"_qs, 0, kSteps, owner_);
            dialog_->setObjectName(u"ExportProgress"_qs);
            dialog_->setWindowTitle(u"エクスポート"_qs);
            dialog_->setWindowModality(Qt::WindowModal);
            dialog_->setMinimumDuration(0);
            dialog_->setAutoClose(false);
            dialog_->setAutoReset(false);
            dialog_->show();
            shown_.start();
        } else if (shown_.elapsed() < kRepaintMs) {
            return !dialog_->wasCanceled();
        }
        shown_.restart();
        dialog_->setValue(total > 0 ? static_cast<int>(done * kSteps / total) : 0);
        // Paints the window and lets its Cancel be pressed.
        QCoreApplication::processEvents();
        return !dialog_->wasCanceled();
    }

private:
    static constexpr int kSteps = 1000;
    static constexpr qint64 kRepaintMs = 50;
    QWidget* owner_;
    int delay_;
    QElapsedTimer clock_;
    QElapsedTimer shown_;
    std::unique_ptr<QProgressDialog> dialog_;
};

} // namespace

TExportForm::TExportForm(QWidget* parent, TWScheduler* calendar)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                  Qt::WindowCloseButtonHint),
      calendar_(calendar)
{
    setObjectName(u"ExportForm"_qs);
    setWindowTitle(u"エクスポート"_qs);

    Label1 = NewLabel(u"出力ファイル名"_qs, "Label1", this);
    FileName = new QComboBox(this);
    FileName->setObjectName(u"FileName"_qs);
    FileName->setEditable(true);
    FileName->setInsertPolicy(QComboBox::NoInsert);
    FileName->setMinimumWidth(300);
    FileSelect = new QToolButton(this);
    FileSelect->setObjectName(u"FileSelect"_qs);
    FileSelect->setText(u"..."_qs);
    Label2 = NewLabel(u"出力形式："_qs, "Label2", this);
    OutputType = new TBevelLabel(this);
    OutputType->setObjectName(u"OutputType"_qs);
    OutputType->SetLayout(tlCenter);
    OutputType->setMinimumHeight(22);
    // Room for the longest format name, whatever the font.
    int widest = 0;
    for (ExportFormat format : { ExportFormat::Unknown, ExportFormat::VCalendar, ExportFormat::Csv,
                                 ExportFormat::CsvTemplate })
        widest = std::max(
            widest,
            OutputType->fontMetrics().horizontalAdvance(qtext::ToQ(exporter::FormatName(format))));
    OutputType->setMinimumWidth(widest + 16);
    AddHeadLine = NewCheck(u"１行目はフィールド名を出力する"_qs, "AddHeadLine", true, this);
    AddHeadLine->setEnabled(false);

    GroupBox1 = new QGroupBox(u"データ範囲"_qs, this);
    GroupBox1->setObjectName(u"GroupBox1"_qs);
    Label7 = NewLabel(u"開始日："_qs, "Label7", GroupBox1);
    StartDate = NewDate("StartDate", GroupBox1);
    Label3 = NewLabel(u"から"_qs, "Label3", GroupBox1);
    Label3->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LimitDate = NewDate("LimitDate", GroupBox1);
    RadioButton1 = NewRadio(u"までの予定"_qs, "RadioButton1", ExportRange::Days, GroupBox1);
    RadioButton1->setChecked(true);
    RadioButton2 =
        NewRadio(u"以降に更新された予定"_qs, "RadioButton2", ExportRange::UpdatedSince, GroupBox1);
    RadioButton3 =
        NewRadio(u"全ての予定を出力する"_qs, "RadioButton3", ExportRange::All, GroupBox1);
    Label4 = NewLabel(QString(), "Label4", GroupBox1);
    auto* range = new QGridLayout(GroupBox1);
    range->addWidget(Label7, 0, 0);
    range->addWidget(StartDate, 0, 1);
    range->addWidget(Label3, 1, 0);
    range->addWidget(LimitDate, 1, 1);
    range->addWidget(RadioButton1, 1, 2);
    range->addWidget(RadioButton2, 2, 2);
    range->addWidget(RadioButton3, 3, 2);
    range->addWidget(Label4, 4, 0, 1, 3);
    range->setColumnStretch(2, 1);

    GroupBox2 = new QGroupBox(u"次の予定はエクスポートしない"_qs, this);
    GroupBox2->setObjectName(u"GroupBox2"_qs);
    NoExport = NewCheck(u"エクスポート済み"_qs, "NoExport", true, GroupBox2);
    NoRepeat = NewCheck(u"繰返し予定"_qs, "NoRepeat", false, GroupBox2);
    NoSecret = NewCheck(u"シークレットデータ"_qs, "NoSecret", false, GroupBox2);
    NoCanceled = NewCheck(u"取消した予定"_qs, "NoCanceled", true, GroupBox2);
    Label5 =
        NewLabel(u"※ エクスポート対象外に指定した予定は常に出力しません"_qs, "Label5", GroupBox2);
    auto* leaveOut = new QGridLayout(GroupBox2);
    leaveOut->addWidget(NoExport, 0, 0);
    leaveOut->addWidget(NoRepeat, 0, 1);
    leaveOut->addWidget(NoSecret, 1, 0);
    leaveOut->addWidget(NoCanceled, 1, 1);
    leaveOut->addWidget(Label5, 2, 0, 1, 2);

    QHBoxLayout* buttons = forms::OkCancelRow(this, ExecBtn, u"ExecBtn"_qs, BitBtn2, u"BitBtn2"_qs);
    ExecBtn->setText(u"実行"_qs);
    ExecBtn->setEnabled(false);

    auto* file = new QHBoxLayout;
    file->addWidget(FileName, 1);
    file->addWidget(FileSelect);
    auto* type = new QHBoxLayout;
    type->addWidget(Label2);
    type->addWidget(OutputType, 1);
    auto* main = new QVBoxLayout(this);
    main->addWidget(Label1);
    main->addLayout(file);
    main->addLayout(type);
    main->addWidget(AddHeadLine);
    main->addWidget(GroupBox1);
    main->addWidget(GroupBox2);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);

    // Every handler reports its own failure; none escapes into the event loop.
    auto guarded = [this](auto handler) {
        return [this, handler] { gui::Guarded([this, handler] { (this->*handler)(); }, this); };
    };
    connect(FileName, &QComboBox::editTextChanged, this, guarded(&TExportForm::FileNameChange));
    connect(FileSelect, &QToolButton::clicked, this, guarded(&TExportForm::FileSelectClick));
    connect(StartDate, &QDateEdit::dateChanged, this, guarded(&TExportForm::StartDateChange));
    for (QRadioButton* radio : { RadioButton1, RadioButton2, RadioButton3 })
        connect(radio, &QRadioButton::clicked, this,
                [this, radio] { gui::Guarded([this, radio] { RadioButton3Click(radio); }, this); });
    connect(ExecBtn, &QPushButton::clicked, this, guarded(&TExportForm::ExecBtnClick));
    FileNameChange();
}

void TExportForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    forms::CenterOnScreen(this);
}

void TExportForm::SetFileNames(const std::vector<std::string>& names)
{
    QStringList list;
    for (const std::string& name : names)
        list << qtext::ToQ(name);
    SetHistory(list);
    FileName->setCurrentIndex(list.isEmpty() ? -1 : 0);
}

std::vector<std::string> TExportForm::FileNames() const
{
    std::vector<std::string> names;
    for (const QString& name : History())
        names.push_back(qtext::FromQ(name));
    return names;
}

QStringList TExportForm::History() const
{
    QStringList names;
    for (int i = 0; i < FileName->count(); ++i)
        names << FileName->itemText(i);
    return names;
}

void TExportForm::SetHistory(const QStringList& names)
{
    const QString text = FileName->currentText();
    FileName->clear();
    FileName->addItems(names);
    FileName->setEditText(text);
}

void TExportForm::SetNoSecretEnabled(bool enabled)
{
    NoSecret->setEnabled(enabled);
    if (!enabled)
        NoSecret->setChecked(false);
}

bool TExportForm::Execute()
{
    FileNameChange();
    StartDate->SetDay(calendar_->CurrentDate());
    StartDateChange();
    limit_ = exporter::ExpansionLimit(days::Today());
    const days::Ymd limit = days::Decode(limit_);
    Label4->setText(u"※無期限の予定は %1/%2/%3 まで展開します"_qs.arg(limit.year)
                        .arg(limit.month)
                        .arg(limit.day));
    RadioButton1->setChecked(true);
    RadioButton3Click(RadioButton1);
    return exec() == QDialog::Accepted;
}

void TExportForm::StartDateChange()
{
    LimitDate->SetDay(StartDate->Day() + calendar_->MonthLength());
}

void TExportForm::RadioButton3Click(QObject* sender)
{
    range_ = static_cast<ExportRange>(forms::Tag(sender));
    StartDate->setEnabled(range_ != ExportRange::All);
    LimitDate->setEnabled(range_ == ExportRange::Days);
    Label3->setEnabled(range_ == ExportRange::Days);
    Label4->setEnabled(range_ != ExportRange::Days);
}

void TExportForm::FileNameChange()
{
    format_ = exporter::FormatOfFileName(qtext::FromQ(FileName->currentText()));
    ExecBtn->setEnabled(format_ != ExportFormat::Unknown);
    OutputType->SetCaption(qtext::ToQ(exporter::FormatName(format_)));
    AddHeadLine->setEnabled(format_ == ExportFormat::Csv || format_ == ExportFormat::CsvTemplate);
}

void TExportForm::FileSelectClick()
{
    msgdlg::FileDialogOptions options;
    options.filter = SaveFilter();
    options.filterIndex = static_cast<int>(format_);
    options.fileName = FileName->currentText();
    const std::optional<msgdlg::FileChoice> choice = msgdlg::SaveFile(options, this);
    if (!choice)
        return;
    FileName->setEditText(choice->fileName);
    FileNameChange();
}

exporter::ExportRequest TExportForm::Request() const
{
    exporter::ExportRequest request;
    request.format = format_;
    request.range = range_;
    request.first = StartDate->Day();
    request.last = LimitDate->Day();
    request.limit = limit_;
    request.leaveOut = { NoExport->isChecked(), NoRepeat->isChecked(), NoSecret->isChecked(),
                         NoCanceled->isChecked() };
    request.headLine = AddHeadLine->isChecked();
    return request;
}

void TExportForm::ExecBtnClick()
{
    const QString name = FileName->currentText();
    if (name.isEmpty() || format_ == ExportFormat::Unknown)
        return;
    const QStringList history = History();
    QStringList others = history;
    others.removeAll(name);
    SetHistory(others);
    switch (RunExport(name)) {
    case Outcome::Cancelled:
        // Nothing happened: the dialog stays as it was, for another try.
        SetHistory(history);
        FileName->setEditText(name);
        return;
    case Outcome::Written:
        others.prepend(name);
        SetHistory(others);
        FileName->setCurrentIndex(0);
        break;
    case Outcome::Failed:
        break;
    }
    accept();
}

TExportForm::Outcome TExportForm::RunExport(const QString& name)
{
    exporter::ExportRequest request = Request();
    std::string path = QFile::encodeName(name).toStdString();
    if (format_ == ExportFormat::CsvTemplate) {
        std::string why;
        bool exists = true;
        if (!exporter::ReadTemplateFile(path, request.csv, &why, &exists)) {
            if (!exists)
                msgdlg::Error(name + u" が見つかりません！"_qs, this);
            else
                msgdlg::Error(SJ("テンプレートファイルが読み込めません!") + "\r\n" + why, this);
            return Outcome::Failed;
        }
        path = files::ChangeExt(path, ".csv");
    }

    // The file is written as the export goes and put in place only when it
    // is whole; a cancel or a failure leaves nothing of it behind.
    std::string why;
    files::TAtomicFile file;
    const auto failed = [&] {
        msgdlg::Error(SJ("エクスポートファイルが書き込めません!") + "\r\n" + why, this);
        return Outcome::Failed;
    };
    if (!file.Open(path, &why))
        return failed();
    TExportProgress progress(this, ProgressDelay);
    const exporter::ExportResult result = exporter::ExportTo(
        calendar_->Store(), request, [&file](std::string_view piece) { return file.Write(piece); },
        [&progress](std::int64_t done, std::int64_t total) { return progress.Tick(done, total); });
    if (result.cancelled)
        return Outcome::Cancelled;
    bool written = false;
    {
        gui::WaitCursor wait;
        written = file.Commit(&why);
    }
    if (!written)
        return failed();
    MarkExported(result.exportedIds);
    return Outcome::Written;
}

void TExportForm::MarkExported(const std::vector<std::uint64_t>& ids)
{
    if (ids.empty())
        return;
    const std::unordered_set<std::uint64_t> written(ids.begin(), ids.end());
    bool changed = false;
    for (PEventData item : calendar_->Store().All()) {
        if (!item->Exported && written.count(item->Id) != 0) {
            item->Exported = true;
            changed = true;
        }
    }
    if (changed)
        calendar_->SetModified(true);
}
