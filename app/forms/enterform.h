#pragma once

// The entry dialog in which one schedule item is created or changed. It
// works on a private copy of the item: the prepare step (PrepareNewEvent,
// PrepareEditEvent) fills the copy and the controls, the commit step
// (OkBtnClick) checks the recurrence settings, packs the controls into the
// copy and hands it to the calendar control. NewEvent and EditEvent run both
// around the modal loop; tests call the steps themselves.
//
// One instance lives as long as the main window, so its lists carry over
// from one use to the next: the subject and place histories, the categories
// and the last chosen personal/company kind.

#include "app/recognizer.h"
#include "core/eventdata.h"

#include <QDialog>
#include <QPointer>
#include <QStringList>

#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QAction;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class TBevelLabel;
class TCheckDatePicker;
class TDatePicker;
class TInitParam;
class TKindCombo;
class TRadioGroup;
class TRangeGrid;
class TSelectGrid;
class TUpDown;
class TValueSpin;
class TWScheduler;

// What a new item starts from: the new-item command passes the calendar's
// current date, the mail commands also a mail's subject, link, body and
// priority. Texts are Shift_JIS; the memo has CR LF line ends.
struct TNewEventArgs
{
    std::string Subject;
    std::string MailID;
    days::Day Date = 0;
    std::string MailKey;
    std::string Memo;
    int Priority = 0;
};

class TEnterForm : public QDialog
{
    Q_OBJECT
public:
    // The modal results.
    static constexpr int mrOk = 1; // the item was stored
    static constexpr int mrCancel = 2; // cancelled, or OK with an empty subject

    // parent: the main window, which the dialog is placed relative to.
    explicit TEnterForm(QWidget* parent = nullptr);
    ~TEnterForm() override;

    // The calendar control that OK hands the item to (it sets the change
    // date, stores, saves and repaints). Not owned.
    void SetCalendar(TWScheduler* calendar);

    // --- Opening: each returns the modal result ---
    int NewEvent(const TNewEventArgs& args);
    int EditEvent(PEventData item);
    // The prepare steps alone. A new item is pre-filled from the date, time
    // and place its subject and memo name.
    void PrepareNewEvent(const TNewEventArgs& args);
    void PrepareEditEvent(PEventData item);
    // Fills the controls from the edit copy (the end of both prepare steps).
    void FillControls();
    // Fills the controls and runs the dialog modally.
    int ShowEvent();

    // The edit copy and the stored item it edits (nullptr for a new item).
    const TEventData& EditCopy() const { return copy_; }
    PEventData EditedItem() const { return edited_; }

    // --- The lists that carry over between uses ---
    // Fills the subject, place and category lists and the kind from the
    // settings (comma texts, each entry trimmed; double quotes in category
    // entries become "'").
    void LoadLists(const TInitParam& param);
    // Writes them back.
    void StoreLists(TInitParam& param) const;
    QStringList KindItems() const;
    // Replaces the category list; the selected entry stays selected when its
    // name is still listed.
    void SetKindItems(const QStringList& kinds);
    // The category editor over the category list, modal to parent; after OK
    // its list replaces the category list.
    void EditKinds(QWidget* parent);

    // --- Handlers (public so that tests and the main window can call them) ---
    // The commit step: on success the item is handed to the target and the
    // dialog closes with mrOk; an empty subject closes with mrCancel; a
    // conflict in the recurrence settings shows its message and keeps the
    // dialog open.
    void OkBtnClick();
    void CancelBtnClick();
    void RepeatInputClick();
    void RepTypeClick();
    void KeepDateChange();
    void MonthOptionClick();
    void NoTimeCheckClick();
    void RangeGrid1SelectTime();
    void BegUpDownClick();
    void EndUpDownClick();
    void PriorityChange();
    void AlermTypeChange();
    void AlermTimeChange();
    void ExceptCheckClick();
    void DaysListClick();
    void AddExceptClick();
    void DelExceptClick();
    void DefBtnClick();
    void MemoEditClick();
    // The mail-link group works with the host mail client of the build
    // variant; the program build hides it. UpdateMailLink refreshes the
    // current mail's subject and the link button from the host.
    void UpdateMailLink();
    void SetMailIDClick();
    void CheckMailBtnClick();
    // The memo menu: scans the memo selection and enables the items;
    // PopupMenuClick acts by an item's tag.
    void CopyPopupPopup();
    void PopupMenuClick(int tag);
    // Moves recognized values into the controls (kinds of TParseApply).
    void ApplyParsed(int kind);
    // The last scan and the text it ran on.
    const TParsedText& Parsed() const { return parsed_; }

    // --- Controls, by their object names ---
    TDatePicker* KeepDate;
    QCheckBox* RepeatInput;
    QGroupBox* RepeatEnter;
    TRadioGroup* RepType;
    TRadioGroup* MonthOption;
    TSelectGrid* WeekList;
    QLabel* Label7;
    TSelectGrid* SelectWeek;
    QLabel* LimitLabel;
    TCheckDatePicker* LimitDate;
    QCheckBox* ShiftDate;
    QGroupBox* GroupBox2;
    QCheckBox* ExceptCheck;
    TDatePicker* ExceptDatePicker;
    QToolButton* AddExcept;
    QToolButton* DelExcept;
    QListWidget* DaysList;
    QCheckBox* NoHoliday;
    QCheckBox* NoLastDay;
    TSelectGrid* ExceptWeek;
    QComboBox* Subject;
    QComboBox* Place;
    TKindCombo* DataType;
    QPushButton* DefBtn;
    QComboBox* DataKind;
    QCheckBox* Secret;
    QCheckBox* NoTimeCheck;
    QLabel* Label3;
    TRangeGrid* RangeGrid1;
    TUpDown* BegUpDown;
    TUpDown* EndUpDown;
    TBevelLabel* TimeLabel;
    QComboBox* Priority;
    QCheckBox* TodoCheck;
    QCheckBox* DoCancel;
    QCheckBox* NoExport;
    TValueSpin* AlermTime;
    QComboBox* AlermType;
    QPlainTextEdit* Memo;
    QToolButton* MemoEdit;
    QMenu* CopyPopup;
    QAction* NSubject;
    QAction* NPlace;
    QAction* NTimeSet;
    QAction* NDate;
    QAction* N2;
    QAction* NCopy;
    QAction* NPaste;
    QCheckBox* MakeCopy;
    QGroupBox* GroupBox1;
    QCheckBox* MailCheck;
    TBevelLabel* MailSubject;
    QToolButton* SetMailID;
    QToolButton* CheckMailBtn;
    QPushButton* OkBtn;
    QPushButton* CancelBtn;

signals:
    // The dialog was shown and closed again (the program build keeps its
    // clipboard watcher quiet in between).
    void DialogShown();
    void DialogClosed();

public:
    // Placed and arranged before each showing (see Arrange).
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    // 64 pixels right of and below the owner window's top-left corner every
    // time, given before the window appears so that the window manager
    // keeps it; the mail-link group only with a host, its room otherwise
    // the memo's.
    void Arrange();
    int RunModal();
    void CreateControls();
    void ConnectControls();
    // Trims the box text and turns double quotes into "'"; when remembered,
    // moves it to the top of the list (an entry equal but for ASCII letter
    // case goes) and keeps at most 20 entries. An empty text changes nothing.
    void AddHistory(QComboBox* box, bool remember);
    // Picks (and, when it carries colours, takes over) the category entry
    // of the copy's category text.
    void SelectKind(const std::string& kind);
    // Dates of the exclusion list as yyyy/mm/dd, sorted, each once.
    void FillDaysList(const std::string& commaText);
    std::string DaysListText() const;
    // The recurrence as the controls show it.
    recur::RepeatFields RepeatChosen() const;
    // Shows the conflict's message and moves the focus to its control; the
    // dialog stays open.
    void Refuse(recur::RepeatConflict conflict);
    QWidget* FocusFor(recur::RepeatConflict conflict) const;
    bool Shown(const QWidget* widget) const;
    void SetMonthOptionShown(bool shown);

    TEventData copy_;
    PEventData edited_ = nullptr;
    QPointer<TWScheduler> calendar_;
    // The memo selection the menu works on, and its scan.
    std::string recognizerText_;
    TParsedText parsed_;
    bool filling_ = false;
};
