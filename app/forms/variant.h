#pragma once

// What differs between the two builds where the windows touch mail: the
// program and the plug-in each install one variant at start. The answers of
// this base class are the program build's, which has no host mail client.

#include <string>

class QWidget;
struct TEventData;

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
