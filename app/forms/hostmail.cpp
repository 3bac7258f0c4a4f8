#include "app/forms/hostmail.h"

#include "app/definedfield.h"
#include "app/settings/consts.h"
#include "core/sjis.h"
#include "gui/msgdlg.h"
#include "gui/qtext.h"
#include "mail/mail_envelope.h"
#include "platform/clipboard.h"

bool THostMailVariant::CurrentMailLink(TMailLinkInfo& out)
{
    std::string source;
    const std::string id = CurrentMailSource(source);
    if (id.empty())
        return false;
    TMailEnvelope mail;
    mail.SetSource(source);
    mail.SetIncludeAttachments(true);
    out.MailID = id;
    out.MailKey = mail.GetMailKey();
    out.Subject = CleanSubject(mail.GetHeader(strconst::SubjectHeader()));
    out.Text = mail.GetText();
    out.Priority = mail.GetPriority();
    return true;
}

bool THostMailVariant::OpenLinkedMail(TEventData& item, QWidget* parent)
{
    if (item.MailID.empty())
        return false;
    const std::string found = SelectMail(item.MailID, item.MailFolder, item.MailKey);
    if (!found.empty()) {
        if (sjis::EqualsNoCase(found, item.MailID))
            return false;
        item.MailID = found;
        item.MailFolder.clear();
        return true;
    }
    // The questions below run an event loop in which the item may go: what
    // they need is copied first.
    const std::string folder = item.MailFolder;
    const std::string folderName = folder.empty() ? std::string() : FolderDisplayName(folder);
    const std::string messageId = item.MailKey.substr(0, item.MailKey.find(','));
    const std::string lost = SJ("リンクメールが行方不明です！！！\r\n");
    if (!folderName.empty()) {
        if (msgdlg::Message(msgdlg::Kind::Warning,
                            lost + folderName +
                                SJ(" に移動したという記録が残ってます…（＠_＠；\r\n"
                                   "フォルダを移動しますか？"),
                            msgdlg::Yes | msgdlg::No, parent) == msgdlg::Yes) {
            SetCurrentFolder(folder);
            msgdlg::ShowMessage(CopyMessageId(messageId), parent);
        }
    } else if (!messageId.empty()) {
        msgdlg::ShowMessage(lost + CopyMessageId(messageId), parent);
    } else {
        msgdlg::ShowMessage(lost + SJ("記録が残って無いのでお手上げですぅ… ヽ(ﾟдﾟ)ﾉ"), parent);
    }
    return false;
}

THostMailVariant::ComposeHandle THostMailVariant::Compose(const std::string& address,
                                                          QWidget* parent)
{
    const ComposeHandle compose =
        HostComposeMail(address.empty() ? std::string() : strconst::MailtoPrefix() + address);
    if (!compose)
        msgdlg::Error(SJ("メールの作成ウィンドウを開けませんでした"), parent);
    return compose;
}

void THostMailVariant::SendScheduleMail(const std::string& address, const TEventData& item,
                                        QWidget* parent)
{
    if (!MaySendByMail(item, parent))
        return;
    const ComposeHandle compose = Compose(address, parent);
    if (!compose)
        return;
    HostComposeSubject(compose, SJ("[予定]") + item.Subject);
    HostComposeText(compose, item.Memo + "\r\n\r\n" + ScheduleBlock(item));
}

void THostMailVariant::ComposeMail(const std::string& address, QWidget* parent)
{
    Compose(address, parent);
}

std::string CopyMessageId(const std::string& messageId)
{
    clipboard::SetText(qtext::ToQ(messageId));
    return SJ("クリップボードに Message-ID をコピーしました\r\n<") + messageId +
        SJ(">\r\nBeckyで検索してみてください！");
}
