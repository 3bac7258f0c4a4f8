// The list window's phone book and memo pad pages and their files.

#include "app/forms/listwindow.h"

#include "app/forms/phoneform.h"
#include "app/forms/variant.h"
#include "app/phonebook.h"
#include "core/eventdata.h"
#include "core/report.h"
#include "core/sjis.h"
#include "gui/application.h"
#include "gui/guards.h"
#include "gui/msgdlg.h"
#include "gui/qtext.h"
#include "gui/unloadsafe.h"

#include <QCollator>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include <algorithm>

namespace {

// A row keeps the bytes of its fields as they were read or entered, so that
// fields survive unchanged even where the display text cannot hold them, and
// fields beyond the shown columns go back to the file.
constexpr int FieldsRole = Qt::UserRole + 1;
constexpr int ShownColumns = 4;

phonebook::Entry RowFields(const QTreeWidgetItem* row)
{
    phonebook::Entry entry;
    for (const QByteArray& field : row->data(0, FieldsRole).value<QByteArrayList>())
        entry.push_back(field.toStdString());
    return entry;
}

void SetRowFields(QTreeWidgetItem* row, const phonebook::Entry& entry)
{
    QByteArrayList fields;
    for (const std::string& field : entry)
        fields.append(QByteArray::fromStdString(field));
    row->setData(0, FieldsRole, QVariant::fromValue(fields));
    for (int column = 0; column < ShownColumns; ++column)
        row->setText(column,
                     column < static_cast<int>(entry.size())
                         ? qtext::ToQ(entry[static_cast<std::size_t>(column)])
                         : QString());
    gui::SetTextAlignment(row, 1, Qt::AlignRight | Qt::AlignVCenter);
}

// The row shown as selected, nullptr when none.
QTreeWidgetItem* SelectedRow(QTreeWidget* list)
{
    QTreeWidgetItem* row = list->currentItem();
    return row && row->isSelected() ? row : nullptr;
}

std::string Field(QLineEdit* edit)
{
    return phonebook::CleanField(qtext::FromQ(edit->text()));
}

// Insert edits and Delete removes the selected entry; both keys are taken
// whether or not there is an entry to act on.
class PhoneKeys : public QObject
{
public:
    explicit PhoneKeys(TListWindow* window) : QObject(window->PhoneList), window_(window) { }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Insert && key != Qt::Key_Delete)
            return QObject::eventFilter(watched, event);
        gui::Guarded(
            [this, key] {
                window_->PhonePopupPopup();
                if (key == Qt::Key_Insert && window_->EditPhone->isEnabled())
                    window_->PhoneEditClick();
                else if (key == Qt::Key_Delete && window_->DelPhone->isEnabled())
                    window_->DelPhoneClick();
            },
            window_);
        return true;
    }

private:
    TListWindow* window_;
};

} // namespace

void TListWindow::CreatePhonePages()
{
    PhoneList->setProperty("tag", 0);
    PhoneList->header()->setSectionsClickable(true);
    gui::SetTextAlignment(PhoneList->headerItem(), 1, Qt::AlignRight | Qt::AlignVCenter);
    PhoneList->installEventFilter(new PhoneKeys(this));

    PhonePopup = new QMenu(PhoneList);
    PhonePopup->setObjectName(QStringLiteral("PhonePopup"));
    auto item = [this](const char* name, const QString& caption, void (TListWindow::*handler)()) {
        QAction* action = PhonePopup->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this,
                [this, handler] { gui::Guarded([&] { (this->*handler)(); }, this); });
        return action;
    };
    AddPhone = item("AddPhone", u"連絡先を追加"_qs, &TListWindow::AddPhoneClick);
    EditPhone = item("EditPhone", u"電話帳を修正"_qs, &TListWindow::PhoneEditClick);
    DelPhone = item("DelPhone", u"電話帳から削除"_qs, &TListWindow::DelPhoneClick);
    PhonePopup->addSeparator();
    MakeMail = item("MakeMail", u"新規メール作成"_qs, &TListWindow::MakeMailClick);
    SendSched = item("SendSched", u"予定を送信する"_qs, &TListWindow::SendSchedClick);

    SetPopup(PhoneList, PhonePopup);
    connect(PhoneList, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        gui::Guarded([&] { PhonePopupPopup(); }, this);
        PhonePopup->popup(PhoneList->viewport()->mapToGlobal(pos));
    });
    connect(PhoneList, &QTreeWidget::itemDoubleClicked, this,
            [this] { gui::Guarded([&] { PhoneEditClick(); }, this); });
    connect(PhoneList->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { gui::Guarded([&] { PhoneListColumnClick(column); }, this); });
}

void TListWindow::LoadFiles(const std::string& schedulePath)
{
    BasePath = schedulePath;
    PhoneList->clear();
    phoneUnread_ = false;
    memoUnread_ = false;

    std::vector<phonebook::Entry> entries;
    bool exists = false;
    std::string error;
    if (!phonebook::LoadPhoneBook(phonebook::PhonePath(schedulePath), entries, &exists, &error,
                                  &PhoneKeptLines)) {
        phoneUnread_ = true;
        msgdlg::Error(SJ("電話帳を読み込めません") + "\r\n" + error + "\r\n" +
                          SJ("電話帳の変更はこのファイルに保存しません。"),
                      this);
    } else if (exists) {
        PhoneList->setUpdatesEnabled(false);
        for (const phonebook::Entry& entry : entries) {
            auto* row = new QTreeWidgetItem(PhoneList);
            SetRowFields(row, entry);
        }
        PhoneList->setUpdatesEnabled(true);
    }

    std::string memo;
    if (!phonebook::LoadMemo(phonebook::MemoPath(schedulePath), memo, &exists, &error)) {
        memoUnread_ = true;
        msgdlg::Error(SJ("メモ帳を読み込めません") + "\r\n" + error + "\r\n" +
                          SJ("メモ帳の変更はこのファイルに保存しません。"),
                      this);
    } else if (exists) {
        MemoData->setPlainText(qtext::ToQTextKeepingBytes(memo));
        MemoData->document()->setModified(false);
    }
}

void TListWindow::SaveFiles()
{
    if (BasePath.empty())
        return;
    std::string error;
    // The memo pad keeps its modified mark: once edited, it is written at
    // every save.
    if (MemoData->document()->isModified() && !memoUnread_ &&
        !phonebook::SaveMemo(phonebook::MemoPath(BasePath),
                             qtext::FromQTextKeepingBytes(MemoData->toPlainText()), &error))
        report::WriteFailed(phonebook::MemoPath(BasePath),
                            SJ("メモ帳を保存できません") + "\r\n" + error);

    if (!PhoneChanged || phoneUnread_)
        return;
    std::vector<phonebook::Entry> entries;
    for (int i = 0; i < PhoneList->topLevelItemCount(); ++i)
        entries.push_back(RowFields(PhoneList->topLevelItem(i)));
    // A failed write keeps the mark, so that the next save tries again.
    if (phonebook::SavePhoneBook(phonebook::PhonePath(BasePath), entries, &error, PhoneKeptLines))
        PhoneChanged = false;
    else
        report::WriteFailed(phonebook::PhonePath(BasePath),
                            SJ("電話帳を保存できません") + "\r\n" + error);
}

void TListWindow::AddPhoneLine(const std::string& line)
{
    phonebook::Entry entry;
    if (!phonebook::ParseLine(line, entry))
        return;
    auto* row = new QTreeWidgetItem(PhoneList);
    SetRowFields(row, entry);
}

void TListWindow::PhonePopupPopup()
{
    QTreeWidgetItem* row = SelectedRow(PhoneList);
    EditPhone->setEnabled(row);
    DelPhone->setEnabled(row);
    bool mail = false;
    if (row) {
        const phonebook::Entry entry = RowFields(row);
        mail = entry.size() >= 3 && !entry[2].empty();
    }
    MakeMail->setEnabled(mail);
    PEventData item = mail ? SelectedItem(SchedList) : nullptr;
    const bool send = item && (item->KindBits & 1) == 0;
    SendSched->setEnabled(send);
    AddPhone->setEnabled(true);
}

void TListWindow::AddPhoneClick()
{
    TPhoneForm form(this);
    form.move(mapToGlobal(QPoint(width(), 0)));
    if (form.exec() != QDialog::Accepted)
        return;
    auto* row = new QTreeWidgetItem(PhoneList);
    SetRowFields(row, { Field(form.Name), Field(form.Phone), Field(form.Mail), Field(form.Note) });
    PhoneChanged = true;
}

void TListWindow::PhoneEditClick()
{
    QTreeWidgetItem* row = SelectedRow(PhoneList);
    if (!row)
        return;
    phonebook::Entry entry = RowFields(row);
    TPhoneForm form(this);
    form.move(mapToGlobal(QPoint(width(), 0)));
    QLineEdit* edits[] = { form.Name, form.Phone, form.Mail, form.Note };
    for (std::size_t i = 0; i < entry.size() && i < 4; ++i)
        edits[i]->setText(qtext::ToQ(entry[i]));
    if (form.exec() != QDialog::Accepted)
        return;
    const std::string name = Field(form.Name);
    const std::string phone = Field(form.Phone);
    if (name.empty() || phone.empty())
        return;
    // Fields beyond the note stay as they were.
    entry.resize(std::max<std::size_t>(entry.size(), 4));
    entry[0] = name;
    entry[1] = phone;
    entry[2] = Field(form.Mail);
    entry[3] = Field(form.Note);
    SetRowFields(row, entry);
    PhoneChanged = true;
}

void TListWindow::DelPhoneClick()
{
    QTreeWidgetItem* row = SelectedRow(PhoneList);
    if (!row)
        return;
    const std::string name = RowFields(row).front();
    if (!msgdlg::AskYesNo(SJ("【") + name + SJ("】を削除します。よろしいですか？"),
                          msgdlg::Kind::Confirmation, this))
        return;
    delete row;
    PhoneChanged = true;
}

void TListWindow::MakeMailClick()
{
    QTreeWidgetItem* row = SelectedRow(PhoneList);
    if (!row)
        return;
    const phonebook::Entry entry = RowFields(row);
    if (entry.size() < 3 || entry[2].empty())
        return;
    BuildVariant().ComposeMail(entry[2], this);
}

void TListWindow::SendSchedClick()
{
    PhonePopupPopup();
    if (!SendSched->isEnabled())
        return;
    const phonebook::Entry entry = RowFields(SelectedRow(PhoneList));
    BuildVariant().SendScheduleMail(entry[2], *SelectedItem(SchedList), this);
}

void TListWindow::PhoneListColumnClick(int column)
{
    gui::WaitCursor wait;
    int tag = PhoneList->property("tag").toInt();
    tag = column == SortColumn ? 1 - tag : 0;
    PhoneList->setProperty("tag", tag);

    QCollator collator(QLocale(QLocale::Japanese, QLocale::Japan));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    QTreeWidgetItem* current = PhoneList->currentItem();
    const bool selected = current && current->isSelected();
    QList<QTreeWidgetItem*> rows;
    while (PhoneList->topLevelItemCount() > 0)
        rows.append(PhoneList->takeTopLevelItem(0));
    std::stable_sort(rows.begin(), rows.end(),
                     [&](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
                         const int order = collator.compare(a->text(column), b->text(column));
                         return tag == 1 ? order > 0 : order < 0;
                     });
    PhoneList->addTopLevelItems(rows);
    if (current) {
        PhoneList->setCurrentItem(current);
        current->setSelected(selected);
    }
    SortColumn = column;
}
