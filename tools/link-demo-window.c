/* A window that names its process in _NET_WM_PID, titled by its first
   argument: the programs tools/link-demo.sh links profiles to. */
#include <xcb/xcb.h>
#include <string.h>
#include <unistd.h>
#include <stdlib.h>
int main(int argc, char** argv) {
  const char* title = argc > 1 ? argv[1] : "demo";
  xcb_connection_t* c = xcb_connect(NULL, NULL);
  xcb_screen_t* s = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  xcb_window_t w = xcb_generate_id(c);
  uint32_t values[] = {s->white_pixel};
  xcb_create_window(c, XCB_COPY_FROM_PARENT, w, s->root, 50, 50, 300, 200, 1, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                    s->root_visual, XCB_CW_BACK_PIXEL, values);
  xcb_intern_atom_reply_t* a = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, 11, "_NET_WM_PID"), NULL);
  uint32_t pid = (uint32_t)getpid();
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, a->atom, XCB_ATOM_CARDINAL, 32, 1, &pid);
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, strlen(title), title);
  xcb_map_window(c, w);
  xcb_flush(c);
  xcb_generic_event_t* e;
  while ((e = xcb_wait_for_event(c))) free(e);
  return 0;
}
