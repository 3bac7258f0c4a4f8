#pragma once

// The export dialog "エクスポート": the output file (its extension picks
// vCalendar, CSV or a CSV template), the range of items and the items to
// leave out. The export is built in memory and written in one go; single
// items are marked exported, and the schedule saved, only once the file is
// written. A long export shows its progress with a Cancel button that
// leaves everything as it was.

#include "app/exporter.h"
#include "app/forms/schedform.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QToolButton;
class TBevelLabel;
class TDatePicker;
class TWScheduler;

class TExportForm : public QDialog, public TExportDialog
{
    Q_OBJECT
public:
    // The items come from the calendar's store, with its filters.
    TExportForm(QWidget* parent, TWScheduler* calendar);

    // --- TExportDialog
    void SetFileNames(const std::vector<std::string>& names) override;
    std::vector<std::string> FileNames() const override;
    void SetNoSecretEnabled(bool enabled) override;
    // Prepares the dates, the expansion limit and the range, then runs the
    // dialog; true when it closed by "実行".
    bool Execute() override;

    // --- Handlers (public so that tests can drive them)
    void StartDateChange();
    // The three range buttons; the sender's tag is the range.
    void RadioButton3Click(QObject* sender);
    void FileNameChange();
    void FileSelectClick();
    void ExecBtnClick();

    exporter::ExportFormat Format() const { return format_; }
    exporter::ExportRange Range() const { return range_; }
    // The last day repeating items are written for (ranges 1 and 2).
    days::Day ExpansionLimit() const { return limit_; }
    // The export the controls describe.
    exporter::ExportRequest Request() const;

    // How long an export runs before its progress shows, in milliseconds.
    int ProgressDelay = 400;

    QLabel* Label1;
    QComboBox* FileName;
    QToolButton* FileSelect;
    QLabel* Label2;
    TBevelLabel* OutputType;
    QCheckBox* AddHeadLine;
    QGroupBox* GroupBox1; // "データ範囲"
    QLabel* Label7;
    TDatePicker* StartDate;
    QLabel* Label3;
    TDatePicker* LimitDate;
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QRadioButton* RadioButton3;
    QLabel* Label4;
    QGroupBox* GroupBox2; // "次の予定はエクスポートしない"
    QCheckBox* NoExport;
    QCheckBox* NoRepeat;
    QCheckBox* NoSecret;
    QCheckBox* NoCanceled;
    QLabel* Label5;
    QPushButton* ExecBtn;
    QPushButton* BitBtn2;

protected:
    void showEvent(QShowEvent* event) override;

private:
    enum class Outcome { Written, Cancelled, Failed };
    // Builds and writes the file of a name; failures are told the user.
    Outcome RunExport(const QString& name);
    // Marks the single items written and saves the schedule at once.
    void MarkExported(const std::vector<std::uint64_t>& ids);
    QStringList History() const;
    void SetHistory(const QStringList& names);

    TWScheduler* calendar_;
    exporter::ExportFormat format_ = exporter::ExportFormat::Unknown;
    exporter::ExportRange range_ = exporter::ExportRange::Days;
    days::Day limit_ = 0;
};
