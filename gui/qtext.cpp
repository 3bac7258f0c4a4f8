#include "gui/qtext.h"

#include "core/sjis.h"

namespace qtext {

QString ToQ(std::string_view sjisText)
{
    const std::string utf8 = sjis::ToUtf8(sjisText);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string FromQ(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return sjis::FromUtf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

std::string FromQText(const QString& text)
{
    return sjis::ToCrLf(FromQ(text));
}

QString ToQText(std::string_view sjisText)
{
    QString q = ToQ(sjisText);
    q.replace(u"\r\n"_qs, u"\n"_qs);
    q.replace(u'\r', u'\n');
    return q;
}

} // namespace qtext
