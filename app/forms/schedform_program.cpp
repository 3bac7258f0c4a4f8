// What the main window does in the program build only: hiding into the task
// tray, and registering schedules copied to the clipboard.

#include "app/definedfield.h"
#include "app/forms/schedform.h"
#include "app/forms/toolimages.h"
#include "app/forms/variant.h"
#include "app/settings/consts.h"
#include "app/settings/initparam.h"
#include "gui/guards.h"
#include "gui/msgdlg.h"
#include "gui/qtext.h"
#include "platform/clipboard.h"
#include "platform/tray.h"
#include "view/wscheduler.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

// ---------------------------------------------------------------------------
// Task tray

void TSchedForm::HideToTray()
{
    if (!tray_ || !tray_->Available()) {
        minimisedToHide_ = true;
        showMinimized();
        return;
    }
    hide();
    tray_->Show(toolimages::TrayImage(), qtext::ToQ(strconst::ProgramProductName()));
}

void TSchedForm::TrayIconClicked(tray::Click click)
{
    if (click == tray::Click::Left && !isVisible())
        BringForward();
}

// ---------------------------------------------------------------------------
// Clipboard

void TSchedForm::HookClipboard()
{
    if (BuildVariant().ImportsClipboard())
        clipWatch_->Hook();
}

void TSchedForm::UnhookClipboard()
{
    clipWatch_->Unhook();
}

void TSchedForm::ClipboardChanged()
{
    if (InitParam.AutoPickup > 0)
        ImportFromClipboard();
}

void TSchedForm::ImportFromClipboard()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText())
        return;
    clipboard::TIgnore ignore;
    const QString text = data->text();
    const TBlockRecord read = ReadClipboardBlock(qtext::FromQText(text), InitParam.AlermReject);
    if (read.Fault == BlockFault::NotShown)
        msgdlg::Warning(strconst::NotRegistered(), this);
    if (read.Fault != BlockFault::None)
        return;
    clipboard::NoteTaken(text);
    AddImportedRecord(read.Record);
}

bool TSchedForm::AddImportedRecord(std::string_view record)
{
    TSchedList& store = Calendar->Store();
    {
        // The views are refreshed once, from the sorted store.
        gui::ReentryGuard loading(store.Loading);
        if (!store.AddFromLine(record))
            return false;
        store.SortEvents();
    }
    Calendar->ScheduleChanged();
    return true;
}
