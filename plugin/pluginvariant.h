#pragma once

// The plug-in build's variant: its data lie in "Kalvero/" inside the host's
// data folder (beside the library when the host gives none), the main window
// only hides when closed, and every question about mails goes to the host
// through its binding.

#include "app/forms/variant.h"

#include <string>

class TBeckyAPI;

class TPluginVariant : public TBuildVariant
{
public:
    // api must outlive the variant; libraryPath is the plug-in's own file.
    TPluginVariant(TBeckyAPI& api, std::string libraryPath);

    strconst::Build Build() const override { return strconst::Build::Plugin; }
    TDataPaths DataPaths() const override;
    bool ImportsClipboard() const override { return false; }
    bool CloseEndsProgram() const override { return false; }
    bool TitleIsApplicationTitle() const override { return false; }

    bool HasHostMail() const override { return true; }
    std::string CurrentMailID() override;
    void SetCurrentMail(const std::string& mailId) override;
    std::string CurrentMailSubject() override;
    void ReplyToCurrentMail() override;
    std::string SelectMail(const std::string& mailId, const std::string& folder,
                           const std::string& mailKey) override;

private:
    TBeckyAPI* api_;
    std::string libraryPath_;
};
