#include "gui/application.h"

#include "gui/msgdlg.h"

#include <cstdio>
#include <new>
#include <string>

namespace gui {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowException(std::current_exception());
        return false;
    }
}

void ShowException(std::exception_ptr error, QWidget* parent) noexcept
{
    std::string message;
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        message = "Out of memory";
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        message = "Unknown error";
    }
    try {
        msgdlg::ShowException(std::string_view(message), parent);
    } catch (...) {
        // Not even the box could be shown: the message must not be lost.
        std::fprintf(stderr, "Kalvero: %s\n", message.c_str());
    }
}

} // namespace gui
