#pragma once

// The plug-in build's answers to the mail questions of the build variant,
// written once on top of a handful of host operations: linking an item to
// the host's current mail, finding a linked mail again, and sending an item
// through the host's compose window. The plug-in derives its variant from
// this class and binds the host operations (CurrentMailSource, SelectMail,
// FolderDisplayName, SetCurrentFolder, the compose calls, ...) to the mail
// client; tests fake them.

#include "app/forms/variant.h"

#include <string>

class THostMailVariant : public TBuildVariant
{
public:
    strconst::Build Build() const override { return strconst::Build::Plugin; }
    bool HasHostMail() const override { return true; }
    // The current mail's ID and link key, its subject without reply marks,
    // its readable text with attachments, and its priority.
    bool CurrentMailLink(TMailLinkInfo& out) override;
    // Follows the link; a mail that is not found is reported: with the
    // folder it was last moved to (offering to show that folder), else with
    // its Message-ID put on the clipboard, else as lost for good.
    bool OpenLinkedMail(TEventData& item, QWidget* parent) override;
    // A compose window to address with the subject "[予定]" + subject and the
    // memo, a blank line and the defined-field block as its text. Secret
    // items are refused with a message; so is sending when the host opens no
    // compose window.
    void SendScheduleMail(const std::string& address, const TEventData& item,
                          QWidget* parent) override;
    // A compose window to address; a host that opens none is reported.
    void ComposeMail(const std::string& address, QWidget* parent) override;

private:
    // The host's compose window for address, or 0 after telling the user.
    ComposeHandle Compose(const std::string& address, QWidget* parent);
};

// Puts a Message-ID on the clipboard and returns the notice that says so and
// tells where to search for it.
std::string CopyMessageId(const std::string& messageId);
