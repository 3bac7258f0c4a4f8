#pragma once

// Qt's own texts in Japanese: the file, colour and font dialogs and the
// context menus of edit boxes come from Qt, and speak English unless Qt's
// Japanese translation (qtbase_ja in Qt's translations folder, Debian
// package qt6-translations-l10n) is installed into the application.

#include <memory>

class QTranslator;

namespace gui {

// Installs the translation for the lifetime of the object, unless the
// application gives Qt's texts in Japanese already (a host that installed
// its own). Without the file, or without an application, it does nothing
// and says nothing: the dialogs stay in English.
class TQtJapanese
{
public:
    TQtJapanese();
    ~TQtJapanese();
    TQtJapanese(const TQtJapanese&) = delete;
    TQtJapanese& operator=(const TQtJapanese&) = delete;

    bool Installed() const { return translator_ != nullptr; }

private:
    std::unique_ptr<QTranslator> translator_;
};

} // namespace gui
