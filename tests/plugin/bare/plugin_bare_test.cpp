// Kalvero.so in a process that exports none of the host's functions, and in
// one without an application object: every callback returns its normal
// result, and nothing crashes.

#include "app/forms/modal_driver.h"
#include "plugin/hostapi.h"
#include "support/testutil.h"
#include "support/xvfb.h"

#include <QApplication>

#include <dlfcn.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

const char* const kNoApplication = "KALVERO_TEST_NO_APPLICATION";

} // namespace

// The child of the test without an application makes none.
QApplication* CreateTestApplication(int& argc, char** argv)
{
    return std::getenv(kNoApplication) ? nullptr : new QApplication(argc, argv);
}

namespace {

// The library copied into a folder of its own: without the host's data
// folder its data go beside it.
struct BarePlugin
{
    TempDir folder;
    void* library = nullptr;

    BarePlugin()
    {
        std::filesystem::copy_file(KALVERO_BINARY_DIR "/plugin/Kalvero.so",
                                   folder.path + "Kalvero.so");
        library = ::dlopen((folder.path + "Kalvero.so").c_str(), RTLD_NOW | RTLD_LOCAL);
        EXPECT_NE(library, nullptr) << ::dlerror();
    }
    ~BarePlugin()
    {
        if (library)
            ::dlclose(library);
    }
    template<typename F> F Get(const char* name) const
    {
        return reinterpret_cast<F>(::dlsym(library, name));
    }

    // Calls every callback with what a host might pass.
    void CallEveryCallback() const
    {
        EXPECT_EQ(Get<decltype(&BKC_OnStart)>("BKC_OnStart")(), 0);
        for (int type = 0; type < 4; ++type)
            EXPECT_EQ(Get<decltype(&BKC_OnMenuInit)>("BKC_OnMenuInit")(1, 2, type), 0);
        EXPECT_EQ(Get<decltype(&BKC_OnOpenFolder)>("BKC_OnOpenFolder")(nullptr), 0);
        EXPECT_EQ(Get<decltype(&BKC_OnOpenMail)>("BKC_OnOpenMail")(nullptr), 0);
        EXPECT_EQ(Get<decltype(&BKC_OnEveryMinute)>("BKC_OnEveryMinute")(), 0);
        EXPECT_EQ(Get<decltype(&BKC_OnOpenCompose)>("BKC_OnOpenCompose")(0, 0), 0);
        EXPECT_EQ(Get<decltype(&BKC_OnOutgoing)>("BKC_OnOutgoing")(0, 0), 0);
        EXPECT_EQ(Get<decltype(&BKC_OnKeyDispatch)>("BKC_OnKeyDispatch")(0, 0, 0), 0);
        EXPECT_EQ(Get<decltype(&BKC_OnRetrieve)>("BKC_OnRetrieve")(nullptr, nullptr), 0);
        EXPECT_EQ(Get<decltype(&BKC_OnRetrieve)>("BKC_OnRetrieve")("Subject: x\r\n\r\n", "a"), 0);
        EXPECT_EQ(Get<decltype(&BKC_OnSend)>("BKC_OnSend")(nullptr), 0);
        EXPECT_EQ(Get<decltype(&BKC_OnFinishRetrieve)>("BKC_OnFinishRetrieve")(1), 0);
        EXPECT_EQ(Get<decltype(&BKC_OnPlugInInfo)>("BKC_OnPlugInInfo")(nullptr), 0);
        EXPECT_EQ(Get<decltype(&BKC_OnDragDrop)>("BKC_OnDragDrop")(nullptr, nullptr, 3, 2), 0);
        EXPECT_EQ(Get<decltype(&BKC_OnExit)>("BKC_OnExit")(), 0);
    }
};

TEST(Bare, WithoutHostFunctionsEveryCallbackAnswers)
{
    BarePlugin plugin;
    ASSERT_NE(plugin.library, nullptr);
    plugin.CallEveryCallback();
    {
        // The settings dialog opens and is cancelled.
        ModalDriver driver;
        driver.Then([](QDialog* setup) { setup->reject(); });
        EXPECT_EQ(plugin.Get<decltype(&BKC_OnPlugInSetup)>("BKC_OnPlugInSetup")(0), 1);
    }
    ::dlclose(plugin.library);
    plugin.library = nullptr;
    EXPECT_TRUE(std::filesystem::exists(plugin.folder.path + "Kalvero/Kalvero.ini"));
}

TEST(Bare, WithoutAnApplicationNothingHappens)
{
    if (!std::getenv(kNoApplication)) {
        // Runs this test again in a child without an application.
        const ChildTest child = RunChildTest(
            QProcessEnvironment::systemEnvironment(), kNoApplication, QStringLiteral("1"),
            QStringLiteral("Bare.WithoutAnApplicationNothingHappens"));
        const std::string output = child.output.toStdString();
        EXPECT_EQ(child.exitCode, 0) << output;
        EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
        return;
    }
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    BarePlugin plugin;
    ASSERT_NE(plugin.library, nullptr);
    plugin.CallEveryCallback();
    EXPECT_EQ(plugin.Get<decltype(&BKC_OnPlugInSetup)>("BKC_OnPlugInSetup")(0), 1);
    ::dlclose(plugin.library);
    plugin.library = nullptr;
    EXPECT_FALSE(std::filesystem::exists(plugin.folder.path + "Kalvero"));
}

} // namespace
