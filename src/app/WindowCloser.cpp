#include "WindowCloser.h"

#if defined(Q_OS_WIN)
#include <windows.h>

bool closeTopLevelWindow(const QString &title) {
    const std::wstring text = title.toStdWString();
    HWND window = FindWindowW(nullptr, text.c_str());
    if (!window)
        return false;
    PostMessageW(window, WM_CLOSE, 0, 0);
    return true;
}

#elif defined(CK_HAVE_XCB)
#include <QGuiApplication>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct FreeDeleter {
    void operator()(void *p) const { std::free(p); }
};
template <class T> using XcbReply = std::unique_ptr<T, FreeDeleter>;

xcb_atom_t atom(xcb_connection_t *c, const char *name) {
    XcbReply<xcb_intern_atom_reply_t> r(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(strlen(name)), name), nullptr));
    return r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
}

QString textProperty(xcb_connection_t *c, xcb_window_t w, xcb_atom_t property, xcb_atom_t type) {
    XcbReply<xcb_get_property_reply_t> r(
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, property, type, 0, 1024), nullptr));
    if (!r || r->type == XCB_ATOM_NONE)
        return {};
    return QString::fromUtf8(static_cast<const char *>(xcb_get_property_value(r.get())),
                             xcb_get_property_value_length(r.get()));
}

struct Atoms {
    xcb_atom_t netWmName, utf8String, wmProtocols, wmDeleteWindow;
};

// Top-level windows are children of the root, or grandchildren where a window
// manager puts frames around them; two levels below the root are searched.
xcb_window_t findWindow(xcb_connection_t *c, const Atoms &a, xcb_window_t parent, const QString &title,
                        int depth) {
    XcbReply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, parent), nullptr));
    if (!tree)
        return XCB_WINDOW_NONE;
    const xcb_window_t *children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    for (int i = 0; i < count; ++i) {
        const xcb_window_t w = children[i];
        if (textProperty(c, w, a.netWmName, a.utf8String) == title ||
            textProperty(c, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING) == title)
            return w;
    }
    if (depth > 1)
        for (int i = 0; i < count; ++i)
            if (const xcb_window_t w = findWindow(c, a, children[i], title, depth - 1); w != XCB_WINDOW_NONE)
                return w;
    return XCB_WINDOW_NONE;
}

} // namespace

bool closeTopLevelWindow(const QString &title) {
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *c = x11 ? x11->connection() : nullptr;
    if (!c)
        return false; // not running on X11
    const Atoms a{atom(c, "_NET_WM_NAME"), atom(c, "UTF8_STRING"), atom(c, "WM_PROTOCOLS"),
                  atom(c, "WM_DELETE_WINDOW")};
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_window_t window = findWindow(c, a, root, title, 2);
    if (window == XCB_WINDOW_NONE)
        return false;

    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = a.wmProtocols;
    event.data.data32[0] = a.wmDeleteWindow;
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&event));
    xcb_flush(c);
    return true;
}

#else

bool closeTopLevelWindow(const QString &) {
    return false;
}

#endif
