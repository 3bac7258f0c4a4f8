#pragma once

// System-wide hot keys of one window. A hot key is registered under a small
// id with a stored shortcut code (the Windows virtual-key code in the low
// byte, Shift 0x2000, Ctrl 0x4000, Alt 0x8000); pressing it anywhere on the
// desktop emits Activated(id).
//
// On an X11 display (Qt platform "xcb") the keys are grabbed on the root
// window in every NumLock/CapsLock combination. Elsewhere registration fails
// quietly: the keys are simply not available. Tests install the fake backend
// through SetHotKeyFactory and press keys themselves.

#include <QObject>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

namespace hotkeys {

class THotKeyBackend : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~THotKeyBackend() override = default;

    // Registers code under id, replacing what id had. False when the key
    // cannot be had (code 0, a key this display does not know, or taken by
    // another program); id then holds nothing.
    virtual bool Register(int id, std::uint16_t code) = 0;
    // Releases id; nothing when it holds nothing.
    virtual void Unregister(int id) = 0;

signals:
    // Delivered through the event loop, never from inside the platform's
    // event dispatch, so that a handler may open modal windows.
    void Activated(int id);
};

// A backend that registers nothing (platforms without global hot keys).
class TNullHotKeys : public THotKeyBackend
{
    Q_OBJECT

public:
    using THotKeyBackend::THotKeyBackend;
    bool Register(int, std::uint16_t) override { return false; }
    void Unregister(int) override { }
};

// The backend of tests: keeps the registrations and presses keys on request.
class TFakeHotKeys : public THotKeyBackend
{
    Q_OBJECT

public:
    using THotKeyBackend::THotKeyBackend;
    bool Register(int id, std::uint16_t code) override;
    void Unregister(int id) override;

    // The code registered under id; 0 when none.
    std::uint16_t Registered(int id) const;
    std::size_t RegisteredCount() const { return keys_.size(); }
    // Codes that "another program" holds: registering them fails.
    void SetTaken(std::uint16_t code) { taken_.insert(code); }
    // Presses a key: emits Activated at once for the id holding code. False
    // when no id holds it (the press goes elsewhere).
    bool Press(std::uint16_t code);
    // Every Register and Unregister call, in order: id for a registration,
    // ~id for a release.
    const std::vector<int>& Calls() const { return calls_; }

private:
    std::map<int, std::uint16_t> keys_;
    std::set<std::uint16_t> taken_;
    std::vector<int> calls_;
};

// The backend for the running platform: X11 on "xcb", TNullHotKeys
// elsewhere (or when a factory is installed, what it makes).
std::unique_ptr<THotKeyBackend> CreateBackend(QObject* parent = nullptr);

using Factory = std::function<std::unique_ptr<THotKeyBackend>(QObject* parent)>;
// Installs a factory for CreateBackend; an empty one restores the platform's.
// Returns the previous factory.
Factory SetFactory(Factory factory);

// The X11 backend itself; nullptr unless the application runs on "xcb".
std::unique_ptr<THotKeyBackend> CreateX11Backend(QObject* parent = nullptr);

} // namespace hotkeys
