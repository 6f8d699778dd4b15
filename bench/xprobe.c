/* A small X client for bench/desktop.sh: starts a program and times it from exec to a mapped
 * window and to a painted one, or sweeps the pointer over a window. Polling is done here, in
 * one process, because a new xdotool per poll costs more than the interval being measured.
 *
 *   xprobe launch TITLE -- PROGRAM ARGS...  prints "pid mapped_ms painted_ms window"
 *   xprobe sweep WINDOW SECONDS             moves the pointer over the window at 100 Hz
 */
#define _POSIX_C_SOURCE 200809L
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static double NowMs(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

static void Sleep(int ms) {
  struct timespec t = {ms / 1000, (ms % 1000) * 1000000L};
  nanosleep(&t, NULL);
}

static int Viewable(Display* d, Window w);

/* Windows that were there before the launch (one of a run just ended may linger). */
static Window old[64];
static int oldCount = 0;

static int Old(Window w) {
  for (int i = 0; i < oldCount; ++i)
    if (old[i] == w) return 1;
  return 0;
}

/* A new mapped top-level window whose name contains the title, or 0. */
static Window FindWindow(Display* d, const char* title) {
  Window root = DefaultRootWindow(d), parent, *children = NULL, found = 0;
  unsigned int n = 0;
  if (!XQueryTree(d, root, &root, &parent, &children, &n)) return 0;
  for (unsigned int i = 0; i < n && !found; ++i) {
    /* The raw name, whatever its encoding: toolkits store UTF-8, which XFetchName refuses. */
    XTextProperty name;
    Atom utf8 = XInternAtom(d, "_NET_WM_NAME", False);
    if ((XGetTextProperty(d, children[i], &name, utf8) || XGetWMName(d, children[i], &name)) &&
        name.value) {
      if (strstr((const char*)name.value, title) && !Old(children[i]) && Viewable(d, children[i]))
        found = children[i];
      XFree(name.value);
    }
  }
  if (children) XFree(children);
  return found;
}

static int Viewable(Display* d, Window w) {
  XWindowAttributes a;
  return XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable && a.width > 1;
}

/* Painted: the window shows a picture, not one colour or two (at least 8 distinct colours
 * on a 32 x 32 grid). */
static int Painted(Display* d, Window w) {
  XWindowAttributes a;
  if (!XGetWindowAttributes(d, w, &a)) return 0;
  XImage* image = XGetImage(d, w, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
  if (!image) return 0;
  unsigned long seen[8];
  int distinct = 0;
  for (int gy = 0; gy < 32 && distinct < 8; ++gy) {
    for (int gx = 0; gx < 32 && distinct < 8; ++gx) {
      unsigned long p = XGetPixel(image, gx * a.width / 32, gy * a.height / 32);
      int known = 0;
      for (int i = 0; i < distinct; ++i) known |= seen[i] == p;
      if (!known) seen[distinct++] = p;
    }
  }
  XDestroyImage(image);
  return distinct >= 8;
}

static int IgnoreErrors(Display* d, XErrorEvent* e) {
  (void)d;
  (void)e;
  return 0;
}

static int Launch(const char* title, char** argv) {
  Display* d = XOpenDisplay(NULL);
  if (!d) return 1;
  XSetErrorHandler(IgnoreErrors);
  for (Window w; oldCount < 64 && (w = FindWindow(d, title)) != 0;) old[oldCount++] = w;
  double start = NowMs();
  pid_t pid = fork();
  if (pid == 0) {
    execvp(argv[0], argv);
    _exit(127);
  }
  double mapped = -1, painted = -1;
  Window w = 0;
  while (NowMs() - start < 20000 && painted < 0) {
    /* Looked up on every poll: some programs replace their first window with another. */
    w = FindWindow(d, title);
    if (w && mapped < 0) mapped = NowMs() - start;
    if (w && Painted(d, w)) painted = NowMs() - start;
    if (painted < 0) Sleep(2);
  }
  printf("%d %.0f %.0f %lu\n", (int)pid, mapped, painted, (unsigned long)w);
  XCloseDisplay(d);
  return 0;
}

static int Sweep(Window w, double seconds) {
  Display* d = XOpenDisplay(NULL);
  if (!d) return 1;
  XSetErrorHandler(IgnoreErrors);
  XWindowAttributes a;
  if (!XGetWindowAttributes(d, w, &a)) return 1;
  double start = NowMs();
  for (int step = 0; NowMs() - start < seconds * 1000; ++step) {
    /* Zig-zag over the middle of the window: every row of balloons, every column. */
    int across = step % 200, row = (step / 200) % 10;
    int x = a.width / 5 + (row % 2 ? 199 - across : across) * 3 * a.width / 5 / 200;
    int y = a.height / 10 + row * a.height * 8 / 100 + across % 7;
    XWarpPointer(d, None, w, 0, 0, 0, 0, x, y);
    XFlush(d);
    Sleep(10);
  }
  XCloseDisplay(d);
  return 0;
}

int main(int argc, char** argv) {
  if (argc >= 5 && strcmp(argv[1], "launch") == 0 && strcmp(argv[3], "--") == 0)
    return Launch(argv[2], argv + 4);
  if (argc == 4 && strcmp(argv[1], "sweep") == 0)
    return Sweep((Window)strtoul(argv[2], NULL, 0), atof(argv[3]));
  fprintf(stderr, "usage: xprobe launch TITLE -- PROGRAM ARGS... | xprobe sweep WINDOW SECONDS\n");
  return 2;
}
