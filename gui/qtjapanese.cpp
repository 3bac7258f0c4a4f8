#include "gui/qtjapanese.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace gui {

TQtJapanese::TQtJapanese()
{
    if (!QCoreApplication::instance())
        return;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return;
    // A text of every button box tells whether Qt already speaks Japanese.
    const char* context = "QPlatformTheme";
    const char* cancel = "Cancel";
    if (QCoreApplication::translate(context, cancel) == translator->translate(context, cancel))
        return;
    if (QCoreApplication::installTranslator(translator.get()))
        translator_ = std::move(translator);
}

TQtJapanese::~TQtJapanese()
{
    if (translator_ && QCoreApplication::instance())
        QCoreApplication::removeTranslator(translator_.get());
}

} // namespace gui
