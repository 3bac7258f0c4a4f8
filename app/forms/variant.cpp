#include "app/forms/variant.h"

namespace {

TBuildVariant* installed = nullptr;

} // namespace

TBuildVariant::~TBuildVariant() = default;

TBuildVariant& BuildVariant()
{
    static TBuildVariant programBuild;
    return installed ? *installed : programBuild;
}

void SetBuildVariant(TBuildVariant* variant)
{
    installed = variant;
}
