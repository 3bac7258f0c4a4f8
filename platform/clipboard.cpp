#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace clipboard {

namespace {

int ignoring = 0;

// The text last written or taken, with its line ends made alike.
QString& LastOwnText()
{
    static QString text;
    return text;
}

QString Comparable(QString text)
{
    return text.replace(u"\r\n"_qs, u"\n"_qs).replace(u'\r', u'\n');
}

} // namespace

void SetText(const QString& text)
{
    TIgnore ignore;
    LastOwnText() = Comparable(text);
    QGuiApplication::clipboard()->setText(text);
}

void NoteTaken(const QString& text)
{
    LastOwnText() = Comparable(text);
}

bool IsOwnText(const QString& text)
{
    return Comparable(text) == LastOwnText();
}

TIgnore::TIgnore()
{
    ++ignoring;
}

TIgnore::~TIgnore()
{
    --ignoring;
}

bool Ignoring()
{
    return ignoring > 0;
}

TWatch::TWatch(QObject* parent) : QObject(parent)
{
}

void TWatch::Hook()
{
    if (Hooked())
        return;
    connection_ = connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
                          &TWatch::OnDataChanged);
}

void TWatch::Unhook()
{
    disconnect(connection_);
    connection_ = {};
}

void TWatch::OnDataChanged()
{
    // A write of our own announces itself while it runs: it is dropped here,
    // before the event loop could let an ignoring scope end.
    if (Ignoring() || pending_)
        return;
    pending_ = true;
    QMetaObject::invokeMethod(this, &TWatch::Deliver, Qt::QueuedConnection);
}

void TWatch::Deliver()
{
    pending_ = false;
    if (!Hooked() || Ignoring())
        return;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText())
        return;
    if (IsOwnText(data->text()))
        return;
    emit Changed();
}

} // namespace clipboard
