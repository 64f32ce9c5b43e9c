// smg-wm-delete WINDOW: asks an X client to close one of its top-level windows, as a window manager's
// close button does (a WM_PROTOCOLS client message carrying WM_DELETE_WINDOW). The smoke test runs the
// program under a bare Xvfb without a window manager, where wmctrl -c has nobody to pass the request on
// and xdotool can only destroy the window or kill the client, neither of which is a clean close.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: smg-wm-delete WINDOW (a window id, decimal or 0x hex; DISPLAY names the server)\n");
        return 2;
    }
    char* end = nullptr;
    const unsigned long window = std::strtoul(argv[1], &end, 0);
    if (end == argv[1] || *end != '\0' || window == 0) {
        std::fprintf(stderr, "smg-wm-delete: not a window id: %s\n", argv[1]);
        return 2;
    }
    const std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(nullptr));
    if (!display) {
        std::fprintf(stderr, "smg-wm-delete: cannot open display %s\n", XDisplayName(nullptr));
        return 1;
    }

    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display.get(), "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display.get(), "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    // No event mask: the message goes to the client that made the window, as the ICCCM has it.
    if (XSendEvent(display.get(), window, False, NoEventMask, &event) == 0) {
        std::fprintf(stderr, "smg-wm-delete: the message could not be sent to window %s\n", argv[1]);
        return 1;
    }
    XSync(display.get(), False);
    return 0;
}
