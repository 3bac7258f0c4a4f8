#pragma once

// Kalvero.so loaded into the test host, with a data folder of its own: what
// every scenario of the plug-in starts from. The plug-in is its own copy of
// the scheduler; the tests reach it only as the host does (its callbacks and
// commands) and as a person does (its windows, found by object name).

#include "app/forms/modal_driver.h"
#include "support/testutil.h"
#include "testhost.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

inline std::string PluginPath()
{
    return KALVERO_BINARY_DIR "/plugin/Kalvero.so";
}

// The text of a message box of the plug-in, line ends as "\n".
inline QString MessageText(const QDialog* box)
{
    QString text;
    for (const QLabel* label : box->findChildren<QLabel*>()) {
        if (!label->text().isEmpty())
            text += label->text();
    }
    return text;
}

// Answers a message box with a button ("OK", "はい(&Y)", ...) and keeps its
// caption and text.
struct Answered
{
    QString caption;
    QString text;
};
inline ModalDriver::Step Press(const QString& button, Answered* seen = nullptr)
{
    return [button, seen](QDialog* box) {
        if (seen)
            *seen = { box->windowTitle(), MessageText(box) };
        QPushButton* pressed = box->findChild<QPushButton*>(button);
        ASSERT_NE(pressed, nullptr) << "no button " << button.toStdString() << " in \""
                                    << MessageText(box).toStdString() << "\"";
        pressed->click();
    };
}

struct PluginScenario : ::testing::Test
{
    TempDir data;
    std::unique_ptr<THost> host = std::make_unique<THost>(data.path);

    // A file of the plug-in in the host's data folder.
    std::string PluginFile(const std::string& name) const { return data.path + "Kalvero/" + name; }
    // Settings the plug-in reads when it starts.
    void Settings(const std::string& lines) const
    {
        std::filesystem::create_directories(data.path + "Kalvero");
        data.Write("Kalvero/Kalvero.ini", lines);
    }
    void Load()
    {
        std::string error;
        ASSERT_TRUE(host->LoadPlugin(PluginPath(), &error)) << error;
    }
    // The plug-in's main window.
    static QWidget* ScheduleWindow() { return TopLevel(QStringLiteral("SchedForm")); }
};
