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

void TPluginVariant::ReplyToCurrentMail()
{
    api_->SendCommand(api_->MainWindow(), BK_ID_REPLY);
}

std::string TPluginVariant::SelectMail(const std::string& mailId, const std::string& folder,
                                       const std::string& mailKey)
{
    return api_->SelectMail(mailId, folder, mailKey);
}
