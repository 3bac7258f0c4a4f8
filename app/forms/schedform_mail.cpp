// The main window's mail commands: schedules taken from mails, links between
// items and host mails, and the day digest in the host's mailbox.

#include "app/daydigest.h"
#include "app/forms/listwindow.h"
#include "app/forms/schedform.h"
#include "app/forms/variant.h"
#include "app/mailimport.h"
#include "app/settings/initparam.h"
#include "core/sjis.h"
#include "core/textguard.h"
#include "view/wscheduler.h"

#include <QAction>

bool TSchedForm::ImportFromMail(const std::string& source, const std::string& mailId, bool force,
                                BlockFault* why)
{
    return ::ImportFromMail(Calendar->Store(), source, mailId, force, InitParam, why);
}

bool TSchedForm::CurrentMailHasSchedule()
{
    if (InitParam.NoScanField)
        return false;
    std::string source;
    return !BuildVariant().CurrentMailSource(source).empty() && MailHasBlock(source);
}

void TSchedForm::MailsMoved(const std::string& target, std::string_view ids, int count)
{
    for (int i = 0; i < count && !ids.empty(); ++i) {
        const std::size_t lf = ids.find('\n');
        // An empty ID would name every item without a link.
        if (const std::string id = sjis::Trim(ids.substr(0, lf)); !id.empty())
            Calendar->Store().SetMailFolder(id, target);
        ids = lf == std::string_view::npos ? std::string_view() : ids.substr(lf + 1);
    }
    Calendar->ScheduleChanged();
}

void TSchedForm::QuickLinkClick(QAction* sender)
{
    PEventData item = MenuItem(sender);
    TMailLinkInfo mail;
    if (!item || !BuildVariant().CurrentMailLink(mail))
        return;
    // The link changes whole or not at all.
    item->MailID = mail.MailID;
    item->MailKey = mail.MailKey;
    item->MailFolder.clear();
    textguard::CleanTextFields(*item);
    item->UpdateDate = days::Today();
    Calendar->SetModified(true);
    if (Calendar->Store().Contains(item))
        ListWindow->UpdateItem(item, false);
}

void TSchedForm::NewFromMail(const std::string& text, bool useText)
{
    TMailLinkInfo mail;
    BuildVariant().CurrentMailLink(mail);
    NewSchedule(mail.Subject, mail.MailID, mail.Priority, useText ? text : mail.Text, mail.MailKey);
}

void TSchedForm::WriteQuickMemo()
{
    TBuildVariant& variant = BuildVariant();
    // A host without a mailbox has nowhere to show the digest.
    const std::string mailBox = variant.MailBoxFolder();
    if (mailBox.empty())
        return;
    const std::string text =
        DigestText(Calendar->Store(), days::Today(),
                   { InitParam.DayCount, InitParam.MemoLimit, InitParam.NoMemoSched });
    if (WriteDigest(DigestPath(mailBox), text, InitParam.MemoClear) == DigestWrite::Written)
        variant.RefreshMailBox();
}
