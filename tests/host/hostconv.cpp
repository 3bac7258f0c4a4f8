#include "hostconv.h"

#include <QByteArray>

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace hostconv {

namespace {

// Converts with iconv; a byte that does not convert is copied (lenient) or
// dropped, and conversion goes on after it.
std::string Convert(std::string_view text, const char* from, const char* to, bool copyBad)
{
    iconv_t cd = ::iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::string(text);
    std::string out;
    std::vector<char> buffer(4 * text.size() + 16);
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    while (inLeft > 0) {
        char* dst = buffer.data();
        std::size_t dstLeft = buffer.size();
        const std::size_t rc = ::iconv(cd, &in, &inLeft, &dst, &dstLeft);
        out.append(buffer.data(), dst - buffer.data());
        if (rc != static_cast<std::size_t>(-1) || errno == E2BIG)
            continue;
        // A byte that is no such text.
        if (copyBad)
            out.push_back(*in);
        ++in;
        --inLeft;
    }
    // The shift state back to the start.
    char* dst = buffer.data();
    std::size_t dstLeft = buffer.size();
    ::iconv(cd, nullptr, nullptr, &dst, &dstLeft);
    out.append(buffer.data(), dst - buffer.data());
    ::iconv_close(cd);
    return out;
}

} // namespace

std::string Iso2022JpToSjis(std::string_view text)
{
    return Convert(text, "ISO-2022-JP", "CP932", true);
}

std::string SjisToIso2022Jp(std::string_view text)
{
    return Convert(text, "CP932", "ISO-2022-JP", true);
}

std::string ToSjis(std::string_view text, const std::string& charset)
{
    return Convert(text, charset.c_str(), "CP932", true);
}

QString FromSjis(std::string_view text)
{
    const std::string utf8 = Convert(text, "CP932", "UTF-8", false);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToSjis(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return Convert(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())),
                   "UTF-8", "CP932", false);
}

std::string DecodeHeader(std::string_view value)
{
    std::string out;
    std::size_t pos = 0;
    bool lastWasWord = false;
    while (pos < value.size()) {
        const std::size_t start = value.find("=?", pos);
        if (start == std::string_view::npos) {
            out.append(value.substr(pos));
            break;
        }
        const std::size_t q1 = value.find('?', start + 2);
        const std::size_t q2 = q1 == std::string_view::npos ? q1 : value.find('?', q1 + 1);
        const std::size_t end = q2 == std::string_view::npos ? q2 : value.find("?=", q2 + 1);
        if (end == std::string_view::npos || q2 != q1 + 2) {
            out.append(value.substr(pos));
            break;
        }
        const std::string_view between = value.substr(pos, start - pos);
        // Blanks between two encoded words vanish.
        if (!(lastWasWord && between.find_first_not_of(" \t\r\n") == std::string_view::npos))
            out.append(between);
        const std::string charset(value.substr(start + 2, q1 - start - 2));
        const char encoding = value[q1 + 1];
        const std::string_view payload = value.substr(q2 + 1, end - q2 - 1);
        QByteArray bytes;
        if (encoding == 'B' || encoding == 'b') {
            bytes = QByteArray::fromBase64(QByteArray(payload.data(), payload.size()));
        } else {
            QByteArray q(payload.data(), payload.size());
            q.replace('_', ' ');
            bytes = QByteArray::fromPercentEncoding(q, '=');
        }
        out += ToSjis(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                      charset);
        pos = end + 2;
        lastWasWord = true;
    }
    return out;
}

} // namespace hostconv
