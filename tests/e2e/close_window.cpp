// close_window WINDOW: asks an X11 top-level window to close, as a window
// manager does when its close button is pressed: a WM_PROTOCOLS client
// message carrying WM_DELETE_WINDOW. Under a bare X server there is no
// window manager to do it, and destroying the window or killing the client
// would not show whether the program ends cleanly when its window closes.
//
// WINDOW is the id as xdotool prints it (decimal) or in hex ("0x..").
// Exits 0 once the X server has accepted the message.

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <xcb/xcb.h>

namespace {

xcb_atom_t internAtom(xcb_connection_t *c, const char *name) {
  const auto length = static_cast<std::uint16_t>(std::strlen(name));
  xcb_intern_atom_reply_t *reply =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, length, name), nullptr);
  if (reply == nullptr)
    return XCB_ATOM_NONE;
  const xcb_atom_t atom = reply->atom;
  std::free(reply);
  return atom;
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fputs("usage: close_window WINDOW\n", stderr);
    return 2;
  }
  char *end = nullptr;
  errno = 0;
  const unsigned long id = std::strtoul(argv[1], &end, 0);
  if (errno != 0 || end == argv[1] || *end != '\0' || id == 0 ||
      id > UINT32_MAX) {
    std::fprintf(stderr, "close_window: not a window id: %s\n", argv[1]);
    return 2;
  }
  const auto window = static_cast<xcb_window_t>(id);

  xcb_connection_t *c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c) != 0) {
    std::fputs("close_window: cannot open the display\n", stderr);
    xcb_disconnect(c);
    return 1;
  }
  const xcb_atom_t protocols = internAtom(c, "WM_PROTOCOLS");
  const xcb_atom_t deleteWindow = internAtom(c, "WM_DELETE_WINDOW");
  if (protocols == XCB_ATOM_NONE || deleteWindow == XCB_ATOM_NONE) {
    std::fputs("close_window: cannot intern the WM atoms\n", stderr);
    xcb_disconnect(c);
    return 1;
  }

  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = window;
  event.type = protocols;
  event.data.data32[0] = deleteWindow;
  event.data.data32[1] = XCB_CURRENT_TIME;
  // xcb_send_event takes the 32-byte wire form of the event.
  char wire[32];
  static_assert(sizeof event == sizeof wire);
  std::memcpy(wire, &event, sizeof wire);
  xcb_generic_error_t *error = xcb_request_check(
      c, xcb_send_event_checked(c, 0, window, XCB_EVENT_MASK_NO_EVENT, wire));
  if (error != nullptr) {
    std::fprintf(stderr, "close_window: the X server refused (error %u)\n",
                 static_cast<unsigned>(error->error_code));
    std::free(error);
    xcb_disconnect(c);
    return 1;
  }
  xcb_disconnect(c);
  return 0;
}
