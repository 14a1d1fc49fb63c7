/* The benchmark's wake-up probe, a plain X client (built natively by
 * scripts/bench.sh): jumps the pointer on a window and prints how many
 * milliseconds pass until that window leaves the screen, which is what a user
 * waking the saver waits for.
 *
 *   wake_latency WINDOW_ID X Y [TIMEOUT_SECONDS]
 *
 * Prints "<milliseconds>" and exits 0, or says why and exits 1. */
#include <X11/Xlib.h>

#include <stdio.h>
#include <stdlib.h>
#include <sys/select.h>
#include <time.h>

static double now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static int error_seen;

/* The window may be gone before the jump: note it instead of exiting. */
static int on_error(Display *display, XErrorEvent *error) {
    (void)display;
    (void)error;
    error_seen = 1;
    return 0;
}

int main(int argc, char **argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: wake_latency WINDOW_ID X Y [TIMEOUT_SECONDS]\n");
        return 1;
    }
    const Window window = (Window)strtoul(argv[1], NULL, 0);
    const int x = atoi(argv[2]);
    const int y = atoi(argv[3]);
    const double timeout_ms = (argc > 4 ? atof(argv[4]) : 10.0) * 1e3;
    Display *display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "wake_latency: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(on_error);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable) {
        fprintf(stderr, "wake_latency: window 0x%lx is not on the screen\n", (unsigned long)window);
        return 1;
    }
    XSelectInput(display, window, StructureNotifyMask);
    XSync(display, False);
    if (error_seen) {
        fprintf(stderr, "wake_latency: window 0x%lx went away\n", (unsigned long)window);
        return 1;
    }
    /* The clock starts once the server has the jump. */
    XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, x, y);
    XSync(display, False);
    const double jumped = now_ms();
    const int fd = ConnectionNumber(display);
    for (;;) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if ((event.type == UnmapNotify && event.xunmap.window == window) ||
                (event.type == DestroyNotify && event.xdestroywindow.window == window)) {
                printf("%.2f\n", now_ms() - jumped);
                return 0;
            }
        }
        const double left = jumped + timeout_ms - now_ms();
        if (left <= 0) {
            fprintf(stderr, "wake_latency: the window stayed for %.0f s\n", timeout_ms / 1e3);
            return 1;
        }
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        struct timeval wait = {(time_t)(left / 1e3), (suseconds_t)((long)(left * 1e3) % 1000000)};
        select(fd + 1, &readable, NULL, NULL, &wait);
    }
}
