#include "plugin/pluginvariant.h"

#include "app/datapaths.h"
#include "core/files.h"
#include "plugin/binding/beckyapi.h"

TPluginVariant::TPluginVariant(TBeckyAPI& api, std::string libraryPath)
    : api_(&api), libraryPath_(std::move(libraryPath))
{
}

TDataPaths TPluginVariant::DataPaths() const
{
    std::string dataFolder = api_->DataFolder();
    // Without the host's folder the data stay beside the library rather
    // than in a folder relative to wherever the host was started.
    if (dataFolder.empty())
        dataFolder = files::DirName(libraryPath_);
    return PluginDataPaths(dataFolder, libraryPath_);
}

std::string TPluginVariant::CurrentMailID()
{
    return api_->CurrentMail();
}

void TPluginVariant::SetCurrentMail(const std::string& mailId)
{
    api_->SetCurrentMail(mailId);
}

std::string TPluginVariant::CurrentMailSubject()
{
    return api_->GetSpecifiedHeader("Subject");
}

std::string TPluginVariant::CurrentMailSource(std::string& source)
{
    const std::string mailId = api_->GetCurrentMailSource();
    source = api_->Source;
    return mailId;
}

void TPluginVariant::ReplyToCurrentMail()
{
    api_->SendCommand(api_->MainWindow(), BK_ID_REPLY);
}

std::string TPluginVariant::SelectMail(const std::string& mailId, const std::string& folder,
                                       const std::string& mailKey)
{
    return api_->SelectMail(mailId, folder, mailKey);
}

std::string TPluginVariant::FolderDisplayName(const std::string& folder)
{
    return api_->FolderDisplayName(folder);
}

void TPluginVariant::SetCurrentFolder(const std::string& folder)
{
    api_->SetCurrentFolder(folder);
}

std::string TPluginVariant::MailBoxFolder()
{
    return api_->GetMailBoxFolder();
}

void TPluginVariant::RefreshMailBox()
{
    api_->RefreshMailBox();
}

TBuildVariant::ComposeHandle TPluginVariant::HostComposeMail(const std::string& url)
{
    return api_->ComposeMail(url);
}

void TPluginVariant::HostComposeSubject(ComposeHandle compose, const std::string& subject)
{
    api_->CompSetSpecifiedHeader(compose, "Subject", subject);
}

void TPluginVariant::HostComposeText(ComposeHandle compose, const std::string& text)
{
    api_->CompSetText(compose, text);
}
