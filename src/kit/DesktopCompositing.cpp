#include "kit/DesktopCompositing.h"

#include <QByteArray>
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace
{

struct FreeReply {
    void operator()(void *reply) const { std::free(reply); }
};

// The X screen the program's windows are on, as the display name says (":0.1" is screen 1).
int defaultScreen()
{
    char *host = nullptr;
    int display = 0;
    int screen = 0;
    if (!xcb_parse_display(nullptr, &host, &display, &screen))
        screen = 0;
    std::free(host);
    return screen;
}

// A compositing manager announces itself by owning the selection _NET_WM_CM_S<screen>.
bool compositingManagerRuns(xcb_connection_t *connection)
{
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(defaultScreen());
    std::unique_ptr<xcb_intern_atom_reply_t, FreeReply> atom(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, true, quint16(name.size()), name.constData()), nullptr));
    if (!atom || atom->atom == XCB_NONE)
        return false; // no compositing manager ever named the selection on this display
    std::unique_ptr<xcb_get_selection_owner_reply_t, FreeReply> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr));
    return owner && owner->owner != XCB_NONE;
}

} // namespace

bool DesktopCompositing::isActive()
{
    // Wayland always composes; the offscreen platform keeps every window's alpha in its own image.
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return true;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    return connection && compositingManagerRuns(connection);
}
