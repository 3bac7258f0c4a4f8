#include "app/forms/variant.h"

#include "app/definedfield.h"
#include "app/forms/schedform.h"
#include "app/mailto.h"
#include "core/schedlist.h"
#include "core/sjis.h"
#include "gui/msgdlg.h"
#include "gui/qtext.h"
#include "platform/clipboard.h"
#include "platform/desktop.h"
#include "view/wscheduler.h"

#include <QCoreApplication>
#include <QFile>

namespace {

TBuildVariant* installed = nullptr;

// The store the sent items belong to (the main window's), or an empty one.
const TSchedList& SendingStore()
{
    static const TSchedList bare;
    return SchedForm && SchedForm->Calendar ? SchedForm->Calendar->Store() : bare;
}

} // namespace

TBuildVariant::~TBuildVariant() = default;

TDataPaths TBuildVariant::DataPaths() const
{
    const QString exe =
        QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
    return ProgramDataPaths(QFile::encodeName(exe).toStdString());
}

QString TBuildVariant::HideButtonHint() const
{
    return u"タスクトレイに入れる"_qs;
}

QString TBuildVariant::SendToCaption() const
{
    return u"コピー＆送信..."_qs;
}

QString TBuildVariant::AutoPickupCaption() const
{
    return u"テキストコピー時の動作"_qs;
}

void TBuildVariant::ComposeMail(const std::string& address, QWidget* parent)
{
    if (!desktop::OpenUrl(MailtoUrl(address)))
        msgdlg::Warning(u"メールソフトを起動できませんでした。"_qs, parent);
}

void TBuildVariant::SendScheduleMail(const std::string& address, const TEventData& item,
                                     QWidget* parent)
{
    if (!MaySendByMail(item, parent))
        return;
    clipboard::SetText(qtext::ToQ(SendText(SendingStore(), item)));
    if (!desktop::OpenUrl(MailtoUrl(address, item.Subject)))
        msgdlg::Warning(
            u"メールソフトを起動できませんでした。\n予定はクリップボードにコピーしてあります。"_qs,
            parent);
}

bool MaySendByMail(const TEventData& item, QWidget* parent)
{
    if ((item.KindBits & 1) == 0)
        return true;
    msgdlg::Warning(SJ("秘密の予定はメールで送れません"), parent);
    return false;
}

std::string ScheduleBlock(const TEventData& item)
{
    return DefinedFieldBlock(SendingStore(), item);
}

TProgramVariant::TProgramVariant(std::string executablePath)
    : executablePath_(std::move(executablePath))
{
}

TDataPaths TProgramVariant::DataPaths() const
{
    return ProgramDataPaths(executablePath_);
}

TBuildVariant& BuildVariant()
{
    static TBuildVariant programBuild;
    return installed ? *installed : programBuild;
}

TBuildVariant* SetBuildVariant(TBuildVariant* variant)
{
    TBuildVariant* previous = installed;
    installed = variant;
    return previous;
}
