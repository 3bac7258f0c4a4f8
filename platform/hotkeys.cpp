#include "platform/hotkeys.h"

#include <QGuiApplication>

namespace hotkeys {

namespace {

Factory& InstalledFactory()
{
    static Factory factory;
    return factory;
}

} // namespace

bool TFakeHotKeys::Register(int id, std::uint16_t code)
{
    calls_.push_back(id);
    keys_.erase(id);
    if (code == 0 || taken_.count(code))
        return false;
    for (const auto& [otherId, otherCode] : keys_)
        if (otherCode == code)
            return false;
    keys_[id] = code;
    return true;
}

void TFakeHotKeys::Unregister(int id)
{
    calls_.push_back(~id);
    keys_.erase(id);
}

std::uint16_t TFakeHotKeys::Registered(int id) const
{
    const auto it = keys_.find(id);
    return it == keys_.end() ? 0 : it->second;
}

bool TFakeHotKeys::Press(std::uint16_t code)
{
    for (const auto& [id, registered] : keys_) {
        if (registered == code) {
            emit Activated(id);
            return true;
        }
    }
    return false;
}

std::unique_ptr<THotKeyBackend> CreateBackend(QObject* parent)
{
    if (InstalledFactory())
        return InstalledFactory()(parent);
    if (auto x11 = CreateX11Backend(parent))
        return x11;
    return std::make_unique<TNullHotKeys>(parent);
}

Factory SetFactory(Factory factory)
{
    Factory previous = std::move(InstalledFactory());
    InstalledFactory() = std::move(factory);
    return previous;
}

} // namespace hotkeys
