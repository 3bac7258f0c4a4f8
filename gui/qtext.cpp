#include "gui/qtext.h"

#include "core/sjis.h"

#include <QList>

#include <vector>

namespace qtext {

QString ToQ(std::string_view sjisText)
{
    const std::string utf8 = sjis::ToUtf8(sjisText);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string FromQ(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return sjis::FromUtf8(
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
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

namespace {

// Stand-ins live in plane 15 (private use), which CP932 never maps: the low
// 16 bits hold the byte, or the lead and the trail byte.
constexpr char32_t kKeptBase = 0xF0000;

bool IsStandIn(char32_t cp)
{
    if (cp < kKeptBase || cp > kKeptBase + 0xFFFF)
        return false;
    const unsigned value = cp - kKeptBase;
    return value <= 0xFF || sjis::IsLeadByte(static_cast<unsigned char>(value >> 8));
}

} // namespace

QString ToQTextKeepingBytes(std::string_view sjisText)
{
    // The converter gives one code point per character, "?" for what it
    // cannot read; a "?" where the text holds none marks a character to keep.
    const QList<uint> points = ToQ(sjisText).toUcs4();
    std::vector<std::size_t> starts;
    for (std::size_t pos = 0; pos < sjisText.size(); pos += sjis::CharLen(sjisText, pos))
        starts.push_back(pos);
    if (static_cast<std::size_t>(points.size()) != starts.size())
        return ToQText(sjisText);

    QString out;
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const std::size_t pos = starts[i];
        if (points[i] != u'?' || sjisText[pos] == '?')
            continue;
        out += ToQText(sjisText.substr(runStart, pos - runStart));
        char32_t standIn = kKeptBase + static_cast<unsigned char>(sjisText[pos]);
        if (sjis::CharLen(sjisText, pos) == 2)
            standIn = kKeptBase +
                (static_cast<unsigned>(static_cast<unsigned char>(sjisText[pos])) << 8 |
                 static_cast<unsigned char>(sjisText[pos + 1]));
        out += QString::fromUcs4(&standIn, 1);
        runStart = pos + sjis::CharLen(sjisText, pos);
    }
    out += ToQText(sjisText.substr(runStart));
    return out;
}

std::string FromQTextKeepingBytes(const QString& text)
{
    std::string out;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < text.size();) {
        const char32_t cp = text.at(i).isHighSurrogate() && i + 1 < text.size()
            ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1))
            : text.at(i).unicode();
        const qsizetype len = cp > 0xFFFF ? 2 : 1;
        if (IsStandIn(cp)) {
            out += FromQText(text.mid(runStart, i - runStart));
            const unsigned value = cp - kKeptBase;
            if (value > 0xFF)
                out.push_back(static_cast<char>(value >> 8));
            out.push_back(static_cast<char>(value & 0xFF));
            runStart = i + len;
        }
        i += len;
    }
    out += FromQText(text.mid(runStart));
    return out;
}

} // namespace qtext
