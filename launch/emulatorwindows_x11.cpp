#include "emulatorwindows.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct Connection
{
    xcb_connection_t *c = nullptr;
    xcb_window_t root = 0;
    Connection()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            return;
        int screen = 0;
        c = xcb_connect(nullptr, &screen);
        if (xcb_connection_has_error(c)) {
            xcb_disconnect(c);
            c = nullptr;
            return;
        }
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
        for (int i = 0; i < screen && it.rem; ++i)
            xcb_screen_next(&it);
        root = it.data->root;
    }
    ~Connection()
    {
        if (c)
            xcb_disconnect(c);
    }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    xcb_atom_t Atom(const char *name) const
    {
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name),
                                  nullptr),
            &std::free);
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    // A property of 32-bit values.
    QList<quint32> Cardinals(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) const
    {
        QList<quint32> values;
        std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
            xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, 0, 4096),
                                   nullptr),
            &std::free);
        if (!reply || reply->format != 32)
            return values;
        const auto *data = static_cast<const quint32 *>(xcb_get_property_value(reply.get()));
        const int count = xcb_get_property_value_length(reply.get()) / 4;
        for (int i = 0; i < count; ++i)
            values.append(data[i]);
        return values;
    }
};

// Every process and its parent, from /proc.
QHash<qint64, QList<qint64>> Children()
{
    QHash<qint64, QList<qint64>> children;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1)
            children[fields.at(1).toLongLong()].append(pid);
    }
    return children;
}

} // namespace

QString WindowPlacementProblem()
{
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariable("QT_QPA_PLATFORM") != QLatin1String("xcb"))
        return QCoreApplication::translate("EmulatorWindows",
                                           "On Wayland no program may place another's windows.");
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return QCoreApplication::translate("EmulatorWindows", "there is no X display");
    return QString();
}

QList<EmulatorWindow> FindEmulatorWindows(const QList<qint64> &pids, QString *problem)
{
    QList<EmulatorWindow> found;
    Connection x;
    if (!x.c) {
        if (problem)
            *problem = QCoreApplication::translate("EmulatorWindows", "there is no X display");
        return found;
    }
    // Each emulator's process and those it started, to the emulator they belong to.
    const QHash<qint64, QList<qint64>> children = Children();
    QHash<qint64, qint64> owner;
    for (const qint64 pid : pids) {
        QList<qint64> next{pid};
        while (!next.isEmpty()) {
            const qint64 p = next.takeLast();
            if (owner.contains(p))
                continue;
            owner.insert(p, pid);
            next.append(children.value(p));
        }
    }
    const xcb_atom_t clientList = x.Atom("_NET_CLIENT_LIST");
    const xcb_atom_t wmPid = x.Atom("_NET_WM_PID");
    const xcb_atom_t extents = x.Atom("_NET_FRAME_EXTENTS");
    // The window manager's list of the windows it manages; without one, the root's children.
    QList<quint32> windows = x.Cardinals(x.root, clientList, XCB_ATOM_WINDOW);
    if (windows.isEmpty()) {
        std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
            xcb_query_tree_reply(x.c, xcb_query_tree(x.c, x.root), nullptr), &std::free);
        if (tree) {
            const xcb_window_t *child = xcb_query_tree_children(tree.get());
            for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i)
                windows.append(child[i]);
        }
    }
    for (const quint32 window : std::as_const(windows)) {
        const QList<quint32> pid = x.Cardinals(window, wmPid, XCB_ATOM_CARDINAL);
        if (pid.isEmpty() || !owner.contains(qint64(pid.first())))
            continue;
        std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
            xcb_get_geometry_reply(x.c, xcb_get_geometry(x.c, window), nullptr), &std::free);
        std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&std::free)> at(
            xcb_translate_coordinates_reply(
                x.c, xcb_translate_coordinates(x.c, window, x.root, 0, 0), nullptr),
            &std::free);
        if (!geometry || !at)
            continue;
        EmulatorWindow emulator;
        emulator.id = window;
        emulator.pid = owner.value(qint64(pid.first()));
        emulator.client = QRect(at->dst_x, at->dst_y, geometry->width, geometry->height);
        const QList<quint32> frame = x.Cardinals(window, extents, XCB_ATOM_CARDINAL);
        emulator.frame = frame.size() == 4
                             ? emulator.client.adjusted(-int(frame.at(0)), -int(frame.at(2)),
                                                        int(frame.at(1)), int(frame.at(3)))
                             : emulator.client;
        found.append(emulator);
    }
    std::stable_sort(found.begin(), found.end(), [&pids](const auto &a, const auto &b) {
        return pids.indexOf(a.pid) < pids.indexOf(b.pid);
    });
    return found;
}

QRect DesktopWorkArea()
{
    Connection x;
    if (!x.c)
        return QRect();
    const QList<quint32> area = x.Cardinals(x.root, x.Atom("_NET_WORKAREA"), XCB_ATOM_CARDINAL);
    if (area.size() >= 4)
        return QRect(int(area.at(0)), int(area.at(1)), int(area.at(2)), int(area.at(3)));
    std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
        xcb_get_geometry_reply(x.c, xcb_get_geometry(x.c, x.root), nullptr), &std::free);
    return geometry ? QRect(0, 0, geometry->width, geometry->height) : QRect();
}

bool PlaceWindows(const QList<std::pair<EmulatorWindow, QRect>> &places, QString *problem)
{
    Connection x;
    if (!x.c) {
        if (problem)
            *problem = QCoreApplication::translate("EmulatorWindows", "there is no X display");
        return false;
    }
    const xcb_atom_t moveResize = x.Atom("_NET_MOVERESIZE_WINDOW");
    for (const auto &[window, frame] : places) {
        // The frame's size less what the window manager adds around the window.
        const QSize client(
            qMax(1, frame.width() - (window.frame.width() - window.client.width())),
            qMax(1, frame.height() - (window.frame.height() - window.client.height())));
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window.id;
        message.type = moveResize;
        // North-west gravity (the frame's corner), x, y, width and height given, from a tool.
        message.data.data32[0] = 1 | (1 << 8) | (1 << 9) | (1 << 10) | (1 << 11) | (2 << 12);
        message.data.data32[1] = quint32(frame.x());
        message.data.data32[2] = quint32(frame.y());
        message.data.data32[3] = quint32(client.width());
        message.data.data32[4] = quint32(client.height());
        xcb_send_event(x.c, 0, x.root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char *>(&message));
    }
    xcb_flush(x.c);
    // The window manager acts on them in order; a round trip makes sure they reached it.
    std::free(xcb_get_input_focus_reply(x.c, xcb_get_input_focus(x.c), nullptr));
    return true;
}
