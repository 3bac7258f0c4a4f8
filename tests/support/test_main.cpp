// Shared entry of every test program: GUI tests need an application object,
// and they run without a display unless one is asked for.
#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

// A test program that needs the application object of a subclass (the
// program's own, say) defines this function; the others get a QApplication.
QApplication* CreateTestApplication(int& argc, char** argv) __attribute__((weak));

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QApplication> app(CreateTestApplication ? CreateTestApplication(argc, argv)
                                                            : new QApplication(argc, argv));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
