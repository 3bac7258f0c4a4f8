// Global hot keys on an X11 display: passive key grabs on the root window,
// seen by Qt's xcb event dispatch through a native event filter.

#include "platform/hotkeys.h"
#include "platform/vkeys.h"

#include <QAbstractEventDispatcher>
#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QMetaObject>
#include <QPointer>

#include <xcb/xcb.h>

#include <cstdlib>
#include <vector>

namespace hotkeys {

namespace {

constexpr std::uint32_t kNumLockKeysym = 0xff7f;
constexpr std::uint16_t kUsedModifiers = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;

class TX11HotKeys : public THotKeyBackend, public QAbstractNativeEventFilter
{
public:
    TX11HotKeys(xcb_connection_t* connection, QObject* parent)
        : THotKeyBackend(parent), connection_(connection)
    {
        const xcb_setup_t* setup = xcb_get_setup(connection_);
        root_ = xcb_setup_roots_iterator(setup).data->root;
        numLockMask_ = FindNumLockMask();
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    ~TX11HotKeys() override
    {
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(this);
        while (!grabs_.empty())
            Unregister(grabs_.front().id);
    }

    bool Register(int id, std::uint16_t code) override
    {
        Unregister(id);
        const std::uint32_t keysym = vkeys::VirtualKeyToKeysym(code & 0xFF);
        if (keysym == 0)
            return false;
        const xcb_keycode_t keycode = KeycodeOf(keysym);
        if (keycode == 0)
            return false;
        std::uint16_t modifiers = 0;
        if (code & vkeys::kShift)
            modifiers |= XCB_MOD_MASK_SHIFT;
        if (code & vkeys::kCtrl)
            modifiers |= XCB_MOD_MASK_CONTROL;
        if (code & vkeys::kAlt)
            modifiers |= XCB_MOD_MASK_1;
        // Grab every variant, then look at the answers: a key that another
        // program holds fails with an access error.
        std::vector<xcb_void_cookie_t> cookies;
        for (std::uint16_t extra : LockVariants())
            cookies.push_back(xcb_grab_key_checked(connection_, 0, root_, modifiers | extra,
                                                   keycode, XCB_GRAB_MODE_ASYNC,
                                                   XCB_GRAB_MODE_ASYNC));
        bool ok = true;
        for (const xcb_void_cookie_t& cookie : cookies) {
            if (xcb_generic_error_t* error = xcb_request_check(connection_, cookie)) {
                ok = false;
                std::free(error);
            }
        }
        Grab grab { id, keycode, modifiers };
        if (!ok) {
            Ungrab(grab);
            return false;
        }
        grabs_.push_back(grab);
        return true;
    }

    void Unregister(int id) override
    {
        for (auto it = grabs_.begin(); it != grabs_.end(); ++it) {
            if (it->id == id) {
                Ungrab(*it);
                grabs_.erase(it);
                return;
            }
        }
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override
    {
        if (eventType != "xcb_generic_event_t" || grabs_.empty())
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_KEY_PRESS)
            return false;
        const auto* press = static_cast<const xcb_key_press_event_t*>(message);
        const std::uint16_t state = press->state & kUsedModifiers;
        for (const Grab& grab : grabs_) {
            if (grab.keycode == press->detail && grab.modifiers == state) {
                // Out of the platform's event dispatch before anything runs.
                QPointer<TX11HotKeys> self(this);
                const int id = grab.id;
                QMetaObject::invokeMethod(
                    this,
                    [self, id] {
                        if (self)
                            emit self->Activated(id);
                    },
                    Qt::QueuedConnection);
                return true;
            }
        }
        return false;
    }

private:
    struct Grab
    {
        int id;
        xcb_keycode_t keycode;
        std::uint16_t modifiers;
    };

    std::vector<std::uint16_t> LockVariants() const
    {
        std::vector<std::uint16_t> variants { 0, XCB_MOD_MASK_LOCK };
        if (numLockMask_ != 0) {
            variants.push_back(numLockMask_);
            variants.push_back(numLockMask_ | XCB_MOD_MASK_LOCK);
        }
        return variants;
    }

    void Ungrab(const Grab& grab)
    {
        for (std::uint16_t extra : LockVariants())
            xcb_ungrab_key(connection_, grab.keycode, root_, grab.modifiers | extra);
        xcb_flush(connection_);
    }

    // The first keycode whose keysyms hold keysym; 0 when none does.
    xcb_keycode_t KeycodeOf(std::uint32_t keysym) const
    {
        const xcb_setup_t* setup = xcb_get_setup(connection_);
        const int first = setup->min_keycode;
        const int count = setup->max_keycode - setup->min_keycode + 1;
        xcb_get_keyboard_mapping_reply_t* reply = xcb_get_keyboard_mapping_reply(
            connection_,
            xcb_get_keyboard_mapping(connection_, setup->min_keycode,
                                     static_cast<std::uint8_t>(count)),
            nullptr);
        if (!reply)
            return 0;
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
        const int perCode = reply->keysyms_per_keycode;
        const int total = xcb_get_keyboard_mapping_keysyms_length(reply);
        xcb_keycode_t found = 0;
        for (int i = 0; i < count && found == 0; ++i)
            for (int j = 0; j < perCode && i * perCode + j < total; ++j)
                if (syms[i * perCode + j] == keysym) {
                    found = static_cast<xcb_keycode_t>(first + i);
                    break;
                }
        std::free(reply);
        return found;
    }

    // The modifier bit that NumLock sets on this display (Mod2 on almost
    // every layout); 0 when NumLock has no modifier.
    std::uint16_t FindNumLockMask() const
    {
        const xcb_keycode_t numLock = KeycodeOf(kNumLockKeysym);
        if (numLock == 0)
            return 0;
        xcb_get_modifier_mapping_reply_t* reply = xcb_get_modifier_mapping_reply(
            connection_, xcb_get_modifier_mapping(connection_), nullptr);
        if (!reply)
            return XCB_MOD_MASK_2;
        const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(reply);
        const int perModifier = reply->keycodes_per_modifier;
        std::uint16_t mask = 0;
        for (int modifier = 0; modifier < 8 && mask == 0; ++modifier)
            for (int k = 0; k < perModifier; ++k)
                if (codes[modifier * perModifier + k] == numLock) {
                    mask = static_cast<std::uint16_t>(1u << modifier);
                    break;
                }
        std::free(reply);
        return mask;
    }

    xcb_connection_t* connection_;
    xcb_window_t root_ = 0;
    std::uint16_t numLockMask_ = 0;
    std::vector<Grab> grabs_;
};

} // namespace

std::unique_ptr<THotKeyBackend> CreateX11Backend(QObject* parent)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!app || !app->connection())
        return nullptr;
    return std::make_unique<TX11HotKeys>(app->connection(), parent);
}

} // namespace hotkeys
