#pragma once

// What differs between the two builds where the windows touch mail: the
// program and the plug-in each install one variant at start. The answers of
// this base class are the program build's, which has no host mail client.

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

    // True when a host mail client is there to ask (the plug-in build).
    virtual bool HasHostMail() const { return false; }
    // The ID of the mail the host shows now; empty when there is none.
    virtual std::string CurrentMailID() { return {}; }
    // Makes the host show the mail with this ID.
    virtual void SetCurrentMail(const std::string& mailId) { (void)mailId; }
    // The "Subject" header of the mail the host shows now.
    virtual std::string CurrentMailSubject() { return {}; }
    // Reads the host's current mail for a link; false when there is none.
    virtual bool CurrentMailLink(TMailLinkInfo& out)
    {
        (void)out;
        return false;
    }
    // Selects an item's linked mail in the host; a link the host renumbered
    // is repaired in the item (and saved with save).
    virtual void OpenLinkedMail(TEventData& item, bool save, QWidget* parent)
    {
        (void)item;
        (void)save;
        (void)parent;
    }
    // Opens the host's reply to the mail it shows now.
    virtual void ReplyToCurrentMail() { }
    // Sends an item by mail; address is a bare mail address or empty (no
    // recipient). parent is the window that asked.
    virtual void SendScheduleMail(const std::string& address, const TEventData& item,
                                  QWidget* parent)
    {
        (void)address;
        (void)item;
        (void)parent;
    }
};

// The variant of this process: the one installed, else the program build's.
TBuildVariant& BuildVariant();
// Installs a variant (not owned; it must outlive its use). nullptr goes back
// to the program build's answers.
void SetBuildVariant(TBuildVariant* variant);
