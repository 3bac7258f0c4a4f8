// The fifteen callbacks the host calls. None lets an exception out: each
// guards its work and returns its normal result.

#include "plugin/hostapi.h"
#include "plugin/plugin.h"

extern "C" {

int32_t BKC_OnStart(void)
{
    plugin::Guarded([] { plugin::OnStart(); });
    return 0;
}

int32_t BKC_OnExit(void)
{
    return 0;
}

int32_t BKC_OnMenuInit(BK_WINDOW, BK_MENU menu, int32_t menuType)
{
    plugin::Guarded([=] { plugin::OnMenuInit(menu, menuType); });
    return 0;
}

int32_t BKC_OnOpenFolder(const char*)
{
    return 0;
}

int32_t BKC_OnOpenMail(const char*)
{
    plugin::Guarded([] { plugin::OnOpenMail(); });
    return 0;
}

int32_t BKC_OnEveryMinute(void)
{
    return 0;
}

int32_t BKC_OnOpenCompose(BK_WINDOW, int32_t)
{
    return 0;
}

int32_t BKC_OnOutgoing(BK_WINDOW, int32_t)
{
    return 0;
}

int32_t BKC_OnKeyDispatch(BK_WINDOW, int32_t, int32_t)
{
    return 0;
}

int32_t BKC_OnRetrieve(const char* message, const char* mailId)
{
    plugin::Guarded([=] { plugin::OnRetrieve(message, mailId); });
    return 0;
}

int32_t BKC_OnSend(const char*)
{
    return 0;
}

int32_t BKC_OnFinishRetrieve(int32_t)
{
    plugin::Guarded([] { plugin::OnFinishRetrieve(); });
    return 0;
}

int32_t BKC_OnPlugInSetup(BK_WINDOW)
{
    plugin::Guarded([] { plugin::OnPlugInSetup(); });
    return 1;
}

int32_t BKC_OnPlugInInfo(BK_PLUGININFO* info)
{
    plugin::Guarded([=] { plugin::OnPlugInInfo(info); });
    return 0;
}

int32_t BKC_OnDragDrop(const char* target, const char* sources, int32_t count, int32_t dropEffect)
{
    plugin::Guarded([=] { plugin::OnDragDrop(target, sources, count, dropEffect); });
    return 0;
}

} // extern "C"
