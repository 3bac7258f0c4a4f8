#include "platform/desktop.h"

#include <QByteArray>
#include <QDesktopServices>
#include <QUrl>

namespace desktop {

bool OpenUrl(std::string_view encodedUrl)
{
    const QUrl url = QUrl::fromEncoded(QByteArray(encodedUrl.data(), qsizetype(encodedUrl.size())),
                                       QUrl::StrictMode);
    return url.isValid() && QDesktopServices::openUrl(url);
}

} // namespace desktop
