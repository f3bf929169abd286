/* first-paint PROGRAM [ARGUMENT...]: starts PROGRAM on the X display of $DISPLAY and prints, in
 * milliseconds, how long after its start the first pixels of a window of it reached the screen;
 * then ends it (SIGTERM to its process group) and exits 0. Exits 1 when no window was painted
 * within 60 s, 2 when it cannot run.
 *
 * It watches from outside, so the program timed needs nothing of its own for it: every window
 * made on the root window is given a DAMAGE object before it is mapped, and the first damage
 * report of a mapped one is the first paint. Qt gives its windows no background, so the server
 * paints nothing of its own into them when they are mapped: the first report is the program's
 * own drawing. Windows that are never mapped (Qt's client leader, the clipboard's) never
 * report. The clock starts just before the program's process is made. */
#define _POSIX_C_SOURCE 200809L
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>

enum { kTimeoutMs = 60000 };

static double Milliseconds(const struct timespec* from, const struct timespec* to) {
  return (double)(to->tv_sec - from->tv_sec) * 1e3 + (double)(to->tv_nsec - from->tv_nsec) / 1e6;
}

static double ElapsedMs(const struct timespec* since) {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return Milliseconds(since, &now);
}

/* The program in a process group of its own, so that it and its children end together. */
static pid_t Start(char** argv) {
  const pid_t child = fork();
  if (child == 0) {
    setpgid(0, 0);
    execvp(argv[0], argv);
    perror(argv[0]);
    _exit(127);
  }
  if (child > 0) setpgid(child, child);
  return child;
}

static void Stop(pid_t child) {
  kill(-child, SIGTERM);
  waitpid(child, NULL, 0);
}

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: first-paint PROGRAM [ARGUMENT...]\n");
    return 2;
  }
  xcb_connection_t* x = xcb_connect(NULL, NULL);
  if (xcb_connection_has_error(x)) {
    fprintf(stderr, "first-paint: no X display\n");
    return 2;
  }
  const xcb_query_extension_reply_t* damage = xcb_get_extension_data(x, &xcb_damage_id);
  if (!damage || !damage->present) {
    fprintf(stderr, "first-paint: the X server has no DAMAGE extension\n");
    return 2;
  }
  free(xcb_damage_query_version_reply(x, xcb_damage_query_version(x, 1, 1), NULL));
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
  const uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &events);
  xcb_flush(x);

  struct timespec started;
  clock_gettime(CLOCK_MONOTONIC, &started);
  const pid_t child = Start(argv + 1);
  if (child < 0) {
    perror("first-paint: fork");
    return 2;
  }

  xcb_window_t mapped[64];
  int mappedCount = 0;
  struct pollfd wait = {.fd = xcb_get_file_descriptor(x), .events = POLLIN};
  for (;;) {
    xcb_generic_event_t* event = xcb_poll_for_event(x);
    if (!event) {
      if (xcb_connection_has_error(x)) break;
      const int left = kTimeoutMs - (int)ElapsedMs(&started);
      if (left <= 0 || poll(&wait, 1, left) <= 0) break;
      continue;
    }
    const int type = event->response_type & 0x7f;
    if (type == XCB_CREATE_NOTIFY) {
      const xcb_create_notify_event_t* created = (const xcb_create_notify_event_t*)event;
      if (created->parent == root) {
        xcb_damage_create(x, xcb_generate_id(x), created->window,
                          XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
        xcb_flush(x);
      }
    } else if (type == XCB_MAP_NOTIFY) {
      const xcb_map_notify_event_t* map = (const xcb_map_notify_event_t*)event;
      if (mappedCount < 64) mapped[mappedCount++] = map->window;
    } else if (type == damage->first_event + XCB_DAMAGE_NOTIFY) {
      const xcb_damage_notify_event_t* painted = (const xcb_damage_notify_event_t*)event;
      for (int i = 0; i < mappedCount; ++i) {
        if (mapped[i] != painted->drawable) continue;
        printf("%.1f\n", ElapsedMs(&started));
        fflush(stdout);
        free(event);
        Stop(child);
        xcb_disconnect(x);
        return 0;
      }
    }
    free(event);
  }
  fprintf(stderr, "first-paint: %s painted no window within %d s\n", argv[1], kTimeoutMs / 1000);
  Stop(child);
  xcb_disconnect(x);
  return 1;
}
