#include "xdnd_source.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace xdnd {

namespace {

// "file://" URIs, one a line, with every byte outside the unreserved set
// percent-encoded.
std::string uri_list(const std::vector<std::string>& paths) {
    std::string out;
    for (const auto& p : paths) {
        out += "file://";
        for (unsigned char c : p) {
            if (isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
                out += char(c);
            } else {
                char hex[4];
                std::snprintf(hex, sizeof hex, "%%%02X", c);
                out += hex;
            }
        }
        out += "\r\n";
    }
    return out;
}

void send(Display* d, Window to, Atom type, long l0, long l1, long l2, long l3, long l4) {
    XEvent e = {};
    e.xclient.type = ClientMessage;
    e.xclient.display = d;
    e.xclient.window = to;
    e.xclient.message_type = type;
    e.xclient.format = 32;
    long l[5] = {l0, l1, l2, l3, l4};
    for (int i = 0; i < 5; ++i) e.xclient.data.l[i] = l[i];
    XSendEvent(d, to, False, NoEventMask, &e);
    XFlush(d);
}

}  // namespace

bool drop_files(unsigned long target, const std::vector<std::string>& paths, int x, int y) {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return false;
    auto atom = [d](const char* name) { return XInternAtom(d, name, False); };
    const Atom enter = atom("XdndEnter"), position = atom("XdndPosition"),
               status = atom("XdndStatus"), drop = atom("XdndDrop"),
               finished = atom("XdndFinished"), selection = atom("XdndSelection"),
               copy = atom("XdndActionCopy"), uris = atom("text/uri-list");
    Window source = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(d, selection, source, CurrentTime);
    const std::string data = uri_list(paths);

    send(d, target, enter, long(source), 5L << 24, long(uris), None, None);
    send(d, target, position, long(source), 0, long(x) << 16 | y, CurrentTime, long(copy));
    bool dropped = false, done = false;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done && std::chrono::steady_clock::now() < until) {
        if (!XPending(d)) {
            usleep(10000);
            continue;
        }
        XEvent e;
        XNextEvent(d, &e);
        if (e.type == ClientMessage && e.xclient.message_type == status && !dropped) {
            // The window answered the position: let go over it.
            send(d, target, drop, long(source), 0, CurrentTime, 0, 0);
            dropped = true;
        } else if (e.type == SelectionRequest) {
            // The window asks for the data: the URI list into its property.
            XSelectionRequestEvent& r = e.xselectionrequest;
            XEvent reply = {};
            reply.xselection.type = SelectionNotify;
            reply.xselection.requestor = r.requestor;
            reply.xselection.selection = r.selection;
            reply.xselection.target = r.target;
            reply.xselection.time = r.time;
            reply.xselection.property = None;
            if (r.target == uris) {
                XChangeProperty(d, r.requestor, r.property, uris, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(data.data()),
                                int(data.size()));
                reply.xselection.property = r.property;
            }
            XSendEvent(d, r.requestor, False, NoEventMask, &reply);
            XFlush(d);
        } else if (e.type == ClientMessage && e.xclient.message_type == finished) {
            done = true;
        }
    }
    XDestroyWindow(d, source);
    XCloseDisplay(d);
    return done;
}

}  // namespace xdnd
