#include "app/forms/formutil.h"

#include "gui/qtext.h"
#include "gui/screens.h"

#include <QDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

namespace forms {

namespace {

QScreen* ScreenOf(const QWidget* window)
{
    if (window->parentWidget() && window->parentWidget()->screen())
        return window->parentWidget()->screen();
    if (window->screen())
        return window->screen();
    return QGuiApplication::primaryScreen();
}

} // namespace

void CenterOnScreen(QWidget* window)
{
    QScreen* screen = ScreenOf(window);
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = window->frameGeometry().size();
    window->move(area.left() + (area.width() - size.width()) / 2,
                 area.top() + (area.height() - size.height()) / 2);
    screens::KeepOnScreen(window);
}

int AvailableScreenWidth(const QWidget* window)
{
    QScreen* screen = ScreenOf(window);
    return screen ? screen->availableGeometry().width() : 0;
}

QString TrimBlanks(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= 0x20)
        ++first;
    while (last > first && text[last - 1].unicode() <= 0x20)
        --last;
    return text.mid(first, last - first);
}

void TrimEdit(QLineEdit* edit)
{
    const QString text = TrimBlanks(edit->text());
    if (text != edit->text())
        edit->setText(text);
}

std::string EditText(const QLineEdit* edit)
{
    return qtext::FromQ(edit->text());
}

int Tag(const QObject* object)
{
    return object->property("tag").toInt();
}

void SetTag(QObject* object, int tag)
{
    object->setProperty("tag", tag);
}

QHBoxLayout* OkCancelRow(QDialog* dialog, QPushButton*& ok, const QString& okName,
                         QPushButton*& cancel, const QString& cancelName)
{
    ok = new QPushButton(u"OK"_qs, dialog);
    ok->setObjectName(okName);
    ok->setDefault(true);
    cancel = new QPushButton(u"キャンセル"_qs, dialog);
    cancel->setObjectName(cancelName);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

QPushButton* Button(QWidget* parent, const QString& text, const QString& name)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QLineEdit* PasswordEdit(QWidget* parent, const QString& name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setEchoMode(QLineEdit::Password);
    return edit;
}

} // namespace forms
