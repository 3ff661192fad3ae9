// window_probe TITLE X Y RRGGBB [TIMEOUT_S]: the moment a program's first
// frame reaches the X server, seen from outside the program.
//
// Listens for the mapping of a top-level window titled TITLE, then reads
// the pixel (X, Y) of that window every millisecond until it has the colour
// RRGGBB (hex), that is until the program has put its first frame there. A
// window of Qt's has no background of its own, so until then the pixel shows
// what lay beneath. Works without a window manager (Xvfb), where top-level
// windows are children of the root.
//
// Prints "ready" on standard output once it listens (start the program
// after that), then, when the frame is there, "BASELINE mapped <ms>",
// "BASELINE firstframe <ms>" and the same time again as "BASELINE
// probeframe <ms>" (for a program that marks its own first frame) on
// standard error, in milliseconds after the launch, and the window id on
// standard output. Exits 1 on timeout (default 30 s). The launch is the
// time (CLOCK_REALTIME in ns) in the file named by WINDOW_PROBE_T0_FILE,
// read once the frame is there (a launcher writes it just before it execs
// the program), else BASELINE_T0 (taken by whoever started the launcher).
// These are the lines the window-baseline tools read.
//
// Built by bench/measure-window.sh: c++ -std=c++20 -O2 window_probe.cpp -lxcb

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string_view>

#include <poll.h>
#include <xcb/xcb.h>

namespace {

std::int64_t nowNs() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  return std::int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

bool titled(xcb_connection_t *c, xcb_window_t w, xcb_atom_t property,
            std::string_view title) {
  xcb_get_property_reply_t *r = xcb_get_property_reply(
      c, xcb_get_property(c, 0, w, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
      nullptr);
  if (r == nullptr)
    return false;
  const auto length =
      static_cast<std::size_t>(xcb_get_property_value_length(r));
  const bool same =
      length == title.size() &&
      std::memcmp(xcb_get_property_value(r), title.data(), length) == 0;
  std::free(r);
  return same;
}

xcb_atom_t atom(xcb_connection_t *c, const char *name) {
  xcb_intern_atom_reply_t *r = xcb_intern_atom_reply(
      c,
      xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)),
                      name),
      nullptr);
  const xcb_atom_t a = r != nullptr ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(r);
  return a;
}

// The pixel's colour as 0xRRGGBB, or -1 while it cannot be read.
long pixel(xcb_connection_t *c, xcb_window_t w, std::int16_t x,
           std::int16_t y) {
  xcb_get_image_reply_t *r = xcb_get_image_reply(
      c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, w, x, y, 1, 1, ~0u),
      nullptr);
  if (r == nullptr)
    return -1;
  long rgb = -1;
  if (xcb_get_image_data_length(r) >= 3) {
    const std::uint8_t *p = xcb_get_image_data(r); // B, G, R(, X) at depth 24
    rgb = (long{p[2]} << 16) | (long{p[1]} << 8) | long{p[0]};
  }
  std::free(r);
  return rgb;
}

long number(const char *text, int base) {
  char *end = nullptr;
  errno = 0;
  const long v = std::strtol(text, &end, base);
  if (errno != 0 || end == text || *end != '\0')
    return -1;
  return v;
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 5 && argc != 6) {
    std::fputs("usage: window_probe TITLE X Y RRGGBB [TIMEOUT_S]\n", stderr);
    return 2;
  }
  const std::string_view title = argv[1];
  const long x = number(argv[2], 10);
  const long y = number(argv[3], 10);
  const long colour = number(argv[4], 16);
  const long timeoutS = argc == 6 ? number(argv[5], 10) : 30;
  if (x < 0 || x > 4000 || y < 0 || y > 4000 || colour < 0 || timeoutS <= 0) {
    std::fputs("window_probe: bad arguments\n", stderr);
    return 2;
  }
  const char *t0Text = std::getenv("BASELINE_T0");
  std::int64_t t0 = t0Text != nullptr ? std::atoll(t0Text) : nowNs();

  xcb_connection_t *c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c) != 0) {
    std::fputs("window_probe: cannot open the display\n", stderr);
    return 1;
  }
  const xcb_window_t root =
      xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  const xcb_atom_t netWmName = atom(c, "_NET_WM_NAME");
  const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  if (xcb_generic_error_t *e =
          xcb_request_check(c, xcb_change_window_attributes_checked(
                                   c, root, XCB_CW_EVENT_MASK, &mask))) {
    std::free(e);
    std::fputs("window_probe: cannot watch the root window\n", stderr);
    return 1;
  }
  std::puts("ready");
  std::fflush(stdout);

  const std::int64_t deadline =
      nowNs() + std::int64_t{timeoutS} * 1'000'000'000;
  xcb_window_t window = XCB_WINDOW_NONE;
  std::int64_t mapped = 0;
  while (window == XCB_WINDOW_NONE) {
    xcb_generic_event_t *ev = xcb_poll_for_event(c);
    if (ev == nullptr) {
      if (xcb_connection_has_error(c) != 0) {
        std::fputs("window_probe: the X connection closed\n", stderr);
        return 1;
      }
      const std::int64_t left = deadline - nowNs();
      if (left <= 0) {
        std::fputs("window_probe: no such window was mapped\n", stderr);
        return 1;
      }
      pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
      poll(&fd, 1, static_cast<int>(left / 1'000'000) + 1);
      continue;
    }
    if ((ev->response_type & 0x7f) == XCB_MAP_NOTIFY) {
      mapped = nowNs();
      const xcb_window_t w =
          reinterpret_cast<xcb_map_notify_event_t *>(ev)->window;
      if (titled(c, w, XCB_ATOM_WM_NAME, title) ||
          (netWmName != XCB_ATOM_NONE && titled(c, w, netWmName, title)))
        window = w;
    }
    std::free(ev);
  }

  const timespec pause{0, 1'000'000};
  const auto px = static_cast<std::int16_t>(x);
  const auto py = static_cast<std::int16_t>(y);
  while (pixel(c, window, px, py) != colour) {
    if (nowNs() > deadline) {
      std::fprintf(stderr,
                   "window_probe: pixel (%ld, %ld) never became %06lx\n", x, y,
                   colour);
      return 1;
    }
    nanosleep(&pause, nullptr);
  }
  const std::int64_t frame = nowNs();
  if (const char *t0File = std::getenv("WINDOW_PROBE_T0_FILE")) {
    if (std::FILE *f = std::fopen(t0File, "r")) {
      long long ns = 0;
      if (std::fscanf(f, "%lld", &ns) == 1 && ns > 0)
        t0 = ns;
      std::fclose(f);
    }
  }
  const double mappedMs = static_cast<double>(mapped - t0) / 1e6;
  const double frameMs = static_cast<double>(frame - t0) / 1e6;
  std::fprintf(stderr,
               "BASELINE mapped %.3f\nBASELINE firstframe %.3f\n"
               "BASELINE probeframe %.3f\n",
               mappedMs, frameMs, frameMs);
  std::fflush(stderr);
  std::printf("%u\n", static_cast<unsigned>(window));
  std::fflush(stdout);
  xcb_disconnect(c);
  return 0;
}
