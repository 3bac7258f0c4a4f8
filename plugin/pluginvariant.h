#pragma once

// The plug-in build's variant: its data lie in "Kalvero/" inside the host's
// data folder (beside the library when the host gives none), the main window
// only hides when closed, and the host operations go to the mail client
// through its binding.

#include "app/forms/hostmail.h"

#include <string>

class TBeckyAPI;

class TPluginVariant : public THostMailVariant
{
public:
    // api must outlive the variant; libraryPath is the plug-in's own file.
    TPluginVariant(TBeckyAPI& api, std::string libraryPath);

    TDataPaths DataPaths() const override;
    bool ImportsClipboard() const override { return false; }
    bool CloseEndsProgram() const override { return false; }
    bool TitleIsApplicationTitle() const override { return false; }

    std::string CurrentMailID() override;
    void SetCurrentMail(const std::string& mailId) override;
    std::string CurrentMailSubject() override;
    std::string CurrentMailSource(std::string& source) override;
    void ReplyToCurrentMail() override;
    std::string SelectMail(const std::string& mailId, const std::string& folder,
                           const std::string& mailKey) override;
    std::string FolderDisplayName(const std::string& folder) override;
    void SetCurrentFolder(const std::string& folder) override;
    std::string MailBoxFolder() override;
    void RefreshMailBox() override;
    ComposeHandle HostComposeMail(const std::string& url) override;
    void HostComposeSubject(ComposeHandle compose, const std::string& subject) override;
    void HostComposeText(ComposeHandle compose, const std::string& text) override;

private:
    TBeckyAPI* api_;
    std::string libraryPath_;
};
