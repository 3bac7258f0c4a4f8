// The build variant: the program's answers by default, a plug-in's when one
// is installed, and the program's data folder beside its executable.
#include "app/forms/variant.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// A stand-in for the plug-in, as its bridge will install one.
class FakePluginVariant : public TBuildVariant
{
public:
    strconst::Build Build() const override { return strconst::Build::Plugin; }
    TDataPaths DataPaths() const override
    {
        return PluginDataPaths("/host/data", "/host/plugins/Kalvero.so");
    }
    QString HideButtonHint() const override { return u"ウィンドウを隠す"_qs; }
    bool HasHostMail() const override { return true; }
    bool CloseEndsProgram() const override { return false; }
    std::string CurrentMailID() override { return "12@inbox"; }
};

TEST(BuildVariant, DefaultIsTheProgramBesideTheRunningExecutable)
{
    TBuildVariant& variant = BuildVariant();
    EXPECT_TRUE(variant.IsProgram());
    // The build puts every test program into the build folder's "tests".
    EXPECT_EQ(variant.DataPaths().ScheduleFile,
              std::filesystem::canonical(KALVERO_BINARY_DIR "/tests").string() + "/Kalvero.sch");
    EXPECT_EQ(variant.SelectMail("1@x", "f", "k"), "");
    EXPECT_FALSE(variant.HasHostMail());
}

TEST(BuildVariant, InstalledVariantAnswersUntilTheScopeEnds)
{
    TBuildVariant* const program = &BuildVariant();
    FakePluginVariant plugin;
    {
        TScopedBuildVariant scoped(&plugin);
        EXPECT_EQ(&BuildVariant(), &plugin);
        EXPECT_FALSE(BuildVariant().IsProgram());
        EXPECT_EQ(BuildVariant().DataPaths().SettingsFile, "/host/data/Kalvero/Kalvero.ini");
        EXPECT_EQ(BuildVariant().CurrentMailID(), "12@inbox");
        TProgramVariant other("/opt/k/Kalvero");
        TScopedBuildVariant nested(&other);
        EXPECT_EQ(BuildVariant().DataPaths().SettingsFile, "/opt/k/Kalvero.ini");
    }
    EXPECT_EQ(&BuildVariant(), program);
}

} // namespace
