#pragma once

// The task-tray icon of the program build: the main window hides into it and
// comes back with a click on it. The icon sits behind this small interface so
// that tests drive a fake; the program uses the desktop's system tray.

#include <QIcon>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QSystemTrayIcon;

namespace tray {

// How the icon was clicked.
enum class Click { Left, Double, Context, Middle };

class TTrayIcon : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~TTrayIcon() override = default;

    // True when the desktop has a tray to show the icon in now.
    virtual bool Available() const = 0;
    virtual void Show(const QIcon& icon, const QString& tip) = 0;
    virtual void Hide() = 0;
    virtual bool Shown() const = 0;

signals:
    void Clicked(tray::Click click);
};

// The icon in the desktop's system tray.
class TSystemTrayIcon : public TTrayIcon
{
    Q_OBJECT

public:
    explicit TSystemTrayIcon(QObject* parent = nullptr);
    bool Available() const override;
    void Show(const QIcon& icon, const QString& tip) override;
    void Hide() override;
    bool Shown() const override;

private:
    QSystemTrayIcon* icon_;
};

// The icon of tests: keeps what it shows and is clicked on request.
class TFakeTrayIcon : public TTrayIcon
{
    Q_OBJECT

public:
    using TTrayIcon::TTrayIcon;
    bool Available() const override { return available; }
    void Show(const QIcon& shownIcon, const QString& shownTip) override;
    void Hide() override { shown_ = false; }
    bool Shown() const override { return shown_; }
    void Click(Click click) { emit Clicked(click); }

    bool available = true;
    QIcon icon;
    QString tip;

private:
    bool shown_ = false;
};

// The desktop's tray icon (or, when a factory is installed, what it makes).
std::unique_ptr<TTrayIcon> CreateIcon(QObject* parent = nullptr);

using Factory = std::function<std::unique_ptr<TTrayIcon>(QObject* parent)>;
// Installs a factory for CreateIcon; an empty one restores the desktop's.
// Returns the previous factory.
Factory SetFactory(Factory factory);

} // namespace tray
