#include "app/mailimport.h"

#include "app/definedfield.h"
#include "app/settings/consts.h"
#include "app/settings/initparam.h"
#include "core/schedlist.h"
#include "core/strutils.h"
#include "mail/mail_envelope.h"

bool ImportFromMail(TSchedList& store, std::string_view source, const std::string& mailId,
                    bool force, const TInitParam& settings, BlockFault* why)
{
    TMailEnvelope mail;
    mail.SetSource(source);
    // Only a plain-text body carries a block.
    if (mail.ContentKind() != TMailEnvelope::ckPlain)
        return false;
    if (!force) {
        const std::string from = mail.GetHeader("From:");
        std::string sender = ExtractBetween(from, "<", ">");
        if (sender.empty())
            sender = from;
        if (!settings.IsTrustedSender(sender))
            return false;
    }
    const TBlockRecord read = ReadDefinedBlock(
        mail.GetBody(),
        { CleanSubject(mail.GetHeader(strconst::SubjectHeader())), mailId, settings.AlermReject });
    if (why)
        *why = read.Fault;
    return read.Fault == BlockFault::None && store.AddFromLine(read.Record);
}

bool MailHasBlock(std::string_view source)
{
    TMailEnvelope mail;
    mail.SetSource(source);
    return !mail.GetDefinedText(strconst::BlockStart(), strconst::BlockEnd()).empty();
}
