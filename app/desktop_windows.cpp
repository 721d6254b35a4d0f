#include "app/desktop_windows.h"

#include <QGuiApplication>

#ifdef ZX_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <vector>
#endif

namespace zx {

#ifdef ZX_HAVE_XCB
namespace {

// More windows than any desktop holds; the rest are not looked at.
constexpr std::uint32_t windowLimit = 4096;
// Longest title read, in 32-bit units.
constexpr std::uint32_t titleLimit = 1024;

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(c, 1, std::uint16_t(std::strlen(name)), name);
    xcb_generic_error_t* error = nullptr;
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c, cookie, &error));
    std::free(error);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

template <typename Cookie, typename ReplyType>
Reply<ReplyType> take(xcb_connection_t* c, Cookie cookie,
                      ReplyType* (*get)(xcb_connection_t*, Cookie, xcb_generic_error_t**))
{
    xcb_generic_error_t* error = nullptr; // a window gone meanwhile: no title
    Reply<ReplyType> reply(get(c, cookie, &error));
    std::free(error);
    return reply;
}

QString titleFrom(const xcb_get_property_reply_t* reply, xcb_atom_t utf8)
{
    if (!reply || reply->format != 8)
        return {};
    const auto* bytes = static_cast<const char*>(xcb_get_property_value(reply));
    const int length = xcb_get_property_value_length(reply);
    if (length <= 0)
        return {};
    if (reply->type == utf8)
        return QString::fromUtf8(bytes, length);
    if (reply->type == XCB_ATOM_STRING)
        return QString::fromLatin1(bytes, length);
    return {};
}

QStringList x11WindowTitles(xcb_connection_t* c)
{
    const xcb_atom_t clientList = atom(c, "_NET_CLIENT_LIST");
    const xcb_atom_t netName = atom(c, "_NET_WM_NAME");
    const xcb_atom_t utf8 = atom(c, "UTF8_STRING");

    std::vector<xcb_window_t> windows;
    std::set<xcb_window_t> seen;
    auto add = [&](const xcb_window_t* list, int count) {
        for (int i = 0; i < count && windows.size() < windowLimit; ++i)
            if (seen.insert(list[i]).second)
                windows.push_back(list[i]);
    };
    for (xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c)); it.rem; xcb_screen_next(&it)) {
        const xcb_window_t root = it.data->root;
        if (clientList != XCB_ATOM_NONE) {
            auto reply = take(c, xcb_get_property(c, 0, root, clientList, XCB_ATOM_WINDOW, 0, windowLimit),
                              xcb_get_property_reply);
            if (reply && reply->format == 32 && reply->type == XCB_ATOM_WINDOW)
                add(static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get())),
                    xcb_get_property_value_length(reply.get()) / 4);
        }
        // Without a window manager the programs' windows are the root's children.
        if (auto tree = take(c, xcb_query_tree(c, root), xcb_query_tree_reply))
            add(xcb_query_tree_children(tree.get()), xcb_query_tree_children_length(tree.get()));
    }

    // All questions first, then all answers: one round trip for the lot.
    const bool netNamesKnown = netName != XCB_ATOM_NONE && utf8 != XCB_ATOM_NONE;
    std::vector<xcb_get_property_cookie_t> netNames, plainNames;
    netNames.reserve(windows.size());
    plainNames.reserve(windows.size());
    for (xcb_window_t window : windows) {
        if (netNamesKnown)
            netNames.push_back(xcb_get_property(c, 0, window, netName, utf8, 0, titleLimit));
        plainNames.push_back(xcb_get_property(c, 0, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 0, titleLimit));
    }
    QStringList titles;
    for (std::size_t i = 0; i < windows.size(); ++i) {
        QString title;
        if (netNamesKnown)
            title = titleFrom(take(c, netNames[i], xcb_get_property_reply).get(), utf8);
        const QString plain = titleFrom(take(c, plainNames[i], xcb_get_property_reply).get(), utf8);
        if (title.isEmpty())
            title = plain;
        if (!title.isEmpty())
            titles << title;
    }
    return titles;
}

} // namespace
#endif

QStringList desktopWindowTitles()
{
#ifdef ZX_HAVE_XCB
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (connection && !xcb_connection_has_error(connection))
        return x11WindowTitles(connection);
#endif
    return {};
}

bool anyTitleMatches(const QStringList& titles, const QStringList& blocking)
{
    for (const QString& wanted : blocking)
        if (!wanted.isEmpty() && titles.contains(wanted))
            return true;
    return false;
}

} // namespace zx
