// The titles of the top-level windows on the desktop, of every program,
// for the start-up check that leaves out the splash while the bank editor
// or its preview is open.  On X11 they are read from the root window: the
// window manager's client list (_NET_CLIENT_LIST) and the root's children,
// named by _NET_WM_NAME or WM_NAME.  Elsewhere (Wayland, offscreen) no
// program can see another's windows, and the list is empty.
#pragma once

#include <QStringList>

#include <functional>

namespace zx {

using WindowTitleSource = std::function<QStringList()>;

// Reads the list afresh on each call.
QStringList desktopWindowTitles();

// True when one of `titles` equals one of the non-empty `blocking` texts.
bool anyTitleMatches(const QStringList& titles, const QStringList& blocking);

} // namespace zx
