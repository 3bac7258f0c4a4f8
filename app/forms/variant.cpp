#include "app/forms/variant.h"

#include <QCoreApplication>
#include <QFile>

namespace {

TBuildVariant* installed = nullptr;

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
