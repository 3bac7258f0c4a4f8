#pragma once

// What differs between the two builds: the program and the plug-in each
// install one variant at start. It answers where the data files lie, the
// captions and items only one build has, and everything that needs the host
// mail client (the host's current mail, selecting a linked mail, replies,
// sending an item). The answers of this base class are the program build's,
// which has no host mail client; TProgramVariant adds the executable's own
// data folder, and the plug-in installs a variant of its own.

#include "app/datapaths.h"
#include "app/settings/consts.h"

#include <QString>

#include <cstdint>
#include <string>

class QWidget;
struct TEventData;

// The host's current mail as an item takes it over when it links to it: the
// link (ID and key), the cleaned subject, the readable text (CR LF) and the
// priority.
struct TMailLinkInfo
{
    std::string MailID;
    std::string MailKey;
    std::string Subject;
    std::string Text;
    int Priority = 0;
};

class TBuildVariant
{
public:
    virtual ~TBuildVariant();

    virtual strconst::Build Build() const { return strconst::Build::Program; }
    bool IsProgram() const { return Build() == strconst::Build::Program; }

    // --- Data files
    // The program's: beside the running executable.
    virtual TDataPaths DataPaths() const;

    // --- Captions and items of one build only
    // Hint of the main window's hide button.
    virtual QString HideButtonHint() const;
    // Caption of the options menu's send item.
    virtual QString SendToCaption() const;
    // Caption of the settings dialog's automatic-registration group.
    virtual QString AutoPickupCaption() const;
    // Copied text is watched and can be imported ("クリップボードからインポート").
    virtual bool ImportsClipboard() const { return true; }
    // Closing the main window ends the program; otherwise closing only
    // hides it and the host keeps it for later.
    virtual bool CloseEndsProgram() const { return true; }
    // The window title is also the application's title (the task-bar text).
    virtual bool TitleIsApplicationTitle() const { return true; }

    // --- The host mail client
    // True when a host mail client is there to ask (the plug-in build):
    // the quick mail link, the alarm window's reply and return-to-mail, the
    // entry dialog's mail-link group, the list window's linked-mail button,
    // the settings for replies and for the day digest.
    virtual bool HasHostMail() const { return false; }
    // The ID of the mail the host shows now; empty when there is none.
    virtual std::string CurrentMailID() { return {}; }
    // Makes the host show the mail with this ID.
    virtual void SetCurrentMail(const std::string& mailId) { (void)mailId; }
    // The "Subject" header of the mail the host shows now.
    virtual std::string CurrentMailSubject() { return {}; }
    // The mail the host shows now: its ID (empty when there is none) and, in
    // source, its whole text in Shift_JIS (empty when the host has none; the
    // ID is then empty too).
    virtual std::string CurrentMailSource(std::string& source)
    {
        source.clear();
        return {};
    }
    // Reads the host's current mail for a link; false when there is none.
    virtual bool CurrentMailLink(TMailLinkInfo& out)
    {
        (void)out;
        return false;
    }
    // Selects an item's linked mail in the host. A link the host renumbered
    // is repaired in the item, and true returned: the caller saves a stored
    // item. A mail that cannot be found is reported with what the link still
    // tells about it.
    virtual bool OpenLinkedMail(TEventData& item, QWidget* parent)
    {
        (void)item;
        (void)parent;
        return false;
    }
    // Opens the host's reply to the mail it shows now.
    virtual void ReplyToCurrentMail() { }
    // Selects a linked mail in the host, following it by its key when it was
    // moved, and returns the ID it found there (empty when none).
    virtual std::string SelectMail(const std::string& mailId, const std::string& folder,
                                   const std::string& mailKey)
    {
        (void)mailId;
        (void)folder;
        (void)mailKey;
        return {};
    }
    // A host folder's name as the host shows it; empty for an unknown folder.
    virtual std::string FolderDisplayName(const std::string& folder)
    {
        (void)folder;
        return {};
    }
    // Makes the host show a folder.
    virtual void SetCurrentFolder(const std::string& folder) { (void)folder; }
    // The folder of the host's current mailbox, where the day digest is
    // written; empty when there is none.
    virtual std::string MailBoxFolder() { return {}; }
    // Makes the host read its current mailbox afresh (after the digest).
    virtual void RefreshMailBox() { }

    // A compose window of the host: 0 is none.
    using ComposeHandle = std::uintptr_t;
    // Opens a compose window for a "mailto:" URL (empty: no recipient).
    virtual ComposeHandle HostComposeMail(const std::string& url)
    {
        (void)url;
        return 0;
    }
    // Sets a compose window's subject and its body text.
    virtual void HostComposeSubject(ComposeHandle compose, const std::string& subject)
    {
        (void)compose;
        (void)subject;
    }
    virtual void HostComposeText(ComposeHandle compose, const std::string& text)
    {
        (void)compose;
        (void)text;
    }

    // Opens a new mail to address (a bare mail address). parent is the
    // window that asked. The program opens a "mailto:" link in the user's
    // mail program (and says so when none opens it); the plug-in asks the
    // host to compose.
    virtual void ComposeMail(const std::string& address, QWidget* parent);

    // --- Sending
    // Sends an item by mail; address is a bare mail address or empty (no
    // recipient). parent is the window that asked. The program puts the
    // memo and the defined-field block on the clipboard for the user to
    // paste, and opens a "mailto:" link with the subject in the user's mail
    // program; when none opens it, it says so and the block stays on the
    // clipboard. Secret items are refused with a message.
    virtual void SendScheduleMail(const std::string& address, const TEventData& item,
                                  QWidget* parent);
};

// Secret items never leave the program: false, after saying so, for one.
bool MaySendByMail(const TEventData& item, QWidget* parent);
// The defined-field block of an item, read against the main window's
// schedule, whose holiday rules place the last day of a series that has
// ended (without a main window, against no rules).
std::string ScheduleBlock(const TEventData& item);

// The stand-alone program for a given executable: its data lie beside it.
class TProgramVariant : public TBuildVariant
{
public:
    explicit TProgramVariant(std::string executablePath);
    TDataPaths DataPaths() const override;

private:
    std::string executablePath_;
};

// The variant of this process: the one installed, else the program build's.
TBuildVariant& BuildVariant();
// Installs a variant (not owned; it must outlive its use) and returns the
// one installed before. nullptr goes back to the program build's answers.
TBuildVariant* SetBuildVariant(TBuildVariant* variant);

// Installs a variant for the lifetime of the object (tests).
class TScopedBuildVariant
{
public:
    explicit TScopedBuildVariant(TBuildVariant* variant) : previous_(SetBuildVariant(variant)) { }
    ~TScopedBuildVariant() { SetBuildVariant(previous_); }
    TScopedBuildVariant(const TScopedBuildVariant&) = delete;
    TScopedBuildVariant& operator=(const TScopedBuildVariant&) = delete;

private:
    TBuildVariant* previous_;
};
