// The stand-alone program Kalvero.
#include "gui/application.h"
#include "program/startup.h"

#include <QFile>

int main(int argc, char** argv)
{
    gui::TApplication app(argc, argv);
    return program::Run(QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString());
}
