#include "startupnotification.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QWidget>

#include <algorithm>
#include <cstring>

#include <xcb/xcb.h>

namespace {

QByteArray &Token()
{
    static QByteArray token;
    return token;
}

QByteArray &Id()
{
    static QByteArray id;
    return id;
}

xcb_atom_t Atom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, false, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

// A value as the startup-notification messages quote it: in double quotes when it holds a
// blank, a quote or a backslash, those escaped.
QByteArray Quoted(const QByteArray &value)
{
    if (!value.contains(' ') && !value.contains('"') && !value.contains('\\'))
        return value;
    QByteArray quoted = "\"";
    for (const char c : value) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

} // namespace

QByteArray TakeActivationToken()
{
    Id() = qgetenv("DESKTOP_STARTUP_ID");
    QByteArray token = qgetenv("XDG_ACTIVATION_TOKEN");
    if (token.isEmpty())
        token = Id();
    Token() = token;
    return token;
}

QByteArray StartupId()
{
    return Id();
}

QByteArray ActivationToken()
{
    return Token();
}

quint32 StartupIdTime(const QByteArray &startupId)
{
    const qsizetype at = startupId.lastIndexOf("_TIME");
    if (at < 0)
        return 0;
    bool ok = false;
    const quint32 time = startupId.mid(at + 5).toUInt(&ok);
    return ok ? time : 0;
}

void EndStartupFeedback(const QByteArray &startupId)
{
    auto *x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || startupId.isEmpty())
        return;
    // The offscreen platform answers as X11 too, with no connection when it has no display.
    xcb_connection_t *connection = x11->connection();
    if (!connection)
        return;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen)
        return;
    // The message goes in pieces of 20 bytes to the root window, from a window of the sender's
    // own; the first piece says where a message begins, the NUL where it ends.
    const xcb_window_t sender = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, sender, screen->root, -100, -100, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t begin = Atom(connection, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = Atom(connection, "_NET_STARTUP_INFO");
    const QByteArray message = "remove: ID=" + Quoted(startupId) + '\0';
    for (qsizetype at = 0; at < message.size(); at += 20) {
        xcb_client_message_event_t event;
        std::memset(&event, 0, sizeof event);
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.window = sender;
        event.type = at == 0 ? begin : more;
        std::memcpy(event.data.data8, message.constData() + at,
                    size_t(std::min<qsizetype>(20, message.size() - at)));
        xcb_send_event(connection, false, screen->root, XCB_EVENT_MASK_PROPERTY_CHANGE,
                       reinterpret_cast<const char *>(&event));
    }
    xcb_destroy_window(connection, sender);
    xcb_flush(connection);
}

void UseStartupTime(QWidget *window, const QByteArray &startupId)
{
    const quint32 time = StartupIdTime(startupId);
    auto *x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!window || time == 0 || !x11)
        return;
    // The offscreen platform answers as X11 too, with no connection when it has no display.
    xcb_connection_t *connection = x11->connection();
    if (!connection)
        return;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen)
        return;
    // Asked as an application (source 1) with the time of the user's action, which a window
    // manager that prevents focus stealing weighs against what the user did since.
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = xcb_window_t(window->window()->winId());
    event.type = Atom(connection, "_NET_ACTIVE_WINDOW");
    event.data.data32[0] = 1;
    event.data.data32[1] = time;
    xcb_send_event(connection, false, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(connection);
}
