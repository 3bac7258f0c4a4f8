#include "platform/tray.h"

#include <QSystemTrayIcon>

namespace tray {

namespace {

Factory& InstalledFactory()
{
    static Factory factory;
    return factory;
}

} // namespace

TSystemTrayIcon::TSystemTrayIcon(QObject* parent)
    : TTrayIcon(parent), icon_(new QSystemTrayIcon(this))
{
    connect(icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                switch (reason) {
                case QSystemTrayIcon::Trigger:
                    emit Clicked(Click::Left);
                    break;
                case QSystemTrayIcon::DoubleClick:
                    emit Clicked(Click::Double);
                    break;
                case QSystemTrayIcon::Context:
                    emit Clicked(Click::Context);
                    break;
                case QSystemTrayIcon::MiddleClick:
                    emit Clicked(Click::Middle);
                    break;
                case QSystemTrayIcon::Unknown:
                    break;
                }
            });
}

bool TSystemTrayIcon::Available() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TSystemTrayIcon::Show(const QIcon& icon, const QString& tip)
{
    icon_->setIcon(icon);
    icon_->setToolTip(tip);
    icon_->show();
}

void TSystemTrayIcon::Hide()
{
    icon_->hide();
}

bool TSystemTrayIcon::Shown() const
{
    return icon_->isVisible();
}

void TFakeTrayIcon::Show(const QIcon& shownIcon, const QString& shownTip)
{
    icon = shownIcon;
    tip = shownTip;
    shown_ = true;
}

std::unique_ptr<TTrayIcon> CreateIcon(QObject* parent)
{
    if (InstalledFactory())
        return InstalledFactory()(parent);
    return std::make_unique<TSystemTrayIcon>(parent);
}

Factory SetFactory(Factory factory)
{
    Factory previous = std::move(InstalledFactory());
    InstalledFactory() = std::move(factory);
    return previous;
}

} // namespace tray
