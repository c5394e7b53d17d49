/* Times what a user waits for on a real X server: starts a program, watches
 * the root window for its top-level windows being mapped, and follows each
 * one's DAMAGE reports until the drawing settles (no report for QUIET ms).
 * Optionally types at the first window through XTEST and times the next
 * window from the key press that opened it.
 *
 *   xwatch [-q QUIET_MS] [-t TIMEOUT_MS] [-k KEYS] [-K KEYS] -- program args...
 *
 * KEYS is a comma-separated list of X keysym names for the first window,
 * e.g. "Tab,Return"; the last one is the key whose press is timed. -K types
 * its keys at the second window once drawn ("Ctrl+d" holds Control). -H
 * keeps the program running that many ms after the figures, to look at it.
 * Prints lines on stdout:
 *   window N mapped MS drawn MS      (from the program's start)
 *   after-key MS                     (key press to the next window drawn)
 *   after-key2 MS                    (-K's last key press to the third window drawn)
 *   vmhwm KB                         (the program's peak resident memory)
 * With XWATCH_TRACE set, every damage report goes to stderr as
 *   damage N MS WxH+X+Y              (to see what a window draws, and when)
 */
#ifndef _GNU_SOURCE
#define _GNU_SOURCE
#endif
#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#define MAX_WINDOWS 16

struct watched {
    xcb_window_t window;
    xcb_damage_damage_t damage;
    double mapped, lastDamage;
    int drawn;
};

static double nowMs(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

/* Keysym names the login needs; enough without pulling in a keysym table. */
static xcb_keysym_t keysymFromName(const char *name)
{
    if (!strcmp(name, "Return"))
        return 0xff0d;
    if (!strcmp(name, "Tab"))
        return 0xff09;
    if (!strcmp(name, "BackSpace"))
        return 0xff08;
    if (!strcmp(name, "Escape"))
        return 0xff1b;
    if (strlen(name) == 1)
        return (unsigned char)name[0];
    return 0;
}

static xcb_keycode_t keycodeFor(xcb_connection_t *c, xcb_keysym_t sym, int *shift)
{
    const xcb_setup_t *setup = xcb_get_setup(c);
    xcb_keycode_t first = setup->min_keycode;
    int count = setup->max_keycode - first + 1;
    xcb_get_keyboard_mapping_reply_t *r
        = xcb_get_keyboard_mapping_reply(c, xcb_get_keyboard_mapping(c, first, count), NULL);
    xcb_keycode_t found = 0;
    if (r) {
        xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(r);
        int per = r->keysyms_per_keycode;
        for (int k = 0; k < count && !found; ++k)
            for (int j = 0; j < per && j < 2; ++j)
                if (syms[k * per + j] == sym) {
                    found = first + k;
                    *shift = j == 1;
                    break;
                }
        free(r);
    }
    return found;
}

static void pressKey(xcb_connection_t *c, xcb_window_t root, xcb_keycode_t code, int shift, int ctrl)
{
    const xcb_keycode_t shiftCode = 50; /* Shift_L on Xvfb's default map */
    const xcb_keycode_t ctrlCode = 37;  /* Control_L */
    if (ctrl)
        xcb_test_fake_input(c, XCB_KEY_PRESS, ctrlCode, XCB_CURRENT_TIME, root, 0, 0, 0);
    if (shift)
        xcb_test_fake_input(c, XCB_KEY_PRESS, shiftCode, XCB_CURRENT_TIME, root, 0, 0, 0);
    xcb_test_fake_input(c, XCB_KEY_PRESS, code, XCB_CURRENT_TIME, root, 0, 0, 0);
    xcb_test_fake_input(c, XCB_KEY_RELEASE, code, XCB_CURRENT_TIME, root, 0, 0, 0);
    if (shift)
        xcb_test_fake_input(c, XCB_KEY_RELEASE, shiftCode, XCB_CURRENT_TIME, root, 0, 0, 0);
    if (ctrl)
        xcb_test_fake_input(c, XCB_KEY_RELEASE, ctrlCode, XCB_CURRENT_TIME, root, 0, 0, 0);
    xcb_flush(c);
}

/* Types a comma-separated key list; returns the time of the last press. */
static double typeKeys(xcb_connection_t *c, xcb_window_t root, const char *keys)
{
    double last = -1;
    char *list = strdup(keys), *save = NULL;
    for (char *k = strtok_r(list, ",", &save); k; k = strtok_r(NULL, ",", &save)) {
        int shift = 0, ctrl = 0;
        if (!strncmp(k, "Ctrl+", 5)) {
            ctrl = 1;
            k += 5;
        }
        xcb_keycode_t code = keycodeFor(c, keysymFromName(k), &shift);
        if (!code) {
            fprintf(stderr, "xwatch: no key for %s\n", k);
            continue;
        }
        last = nowMs();
        pressKey(c, root, code, shift, ctrl);
    }
    free(list);
    return last;
}

static long peakResidentKb(pid_t pid)
{
    char path[64], line[256];
    long kb = -1;
    snprintf(path, sizeof path, "/proc/%d/status", (int)pid);
    FILE *f = fopen(path, "r");
    if (!f)
        return -1;
    while (fgets(line, sizeof line, f))
        if (sscanf(line, "VmHWM: %ld kB", &kb) == 1)
            break;
    fclose(f);
    return kb;
}

int main(int argc, char **argv)
{
    double quiet = 100, timeout = 30000, hold = 0;
    const char *keys = NULL, *keys2 = NULL;
    int opt;
    while ((opt = getopt(argc, argv, "q:t:k:K:H:")) != -1) {
        if (opt == 'q')
            quiet = atof(optarg);
        else if (opt == 't')
            timeout = atof(optarg);
        else if (opt == 'k')
            keys = optarg;
        else if (opt == 'K')
            keys2 = optarg;
        else if (opt == 'H')
            hold = atof(optarg);
        else
            return 2;
    }
    if (optind >= argc || (keys2 && !keys)) {
        fprintf(stderr, "usage: xwatch [-q ms] [-t ms] [-k keys [-K keys]] -- program args...\n");
        return 2;
    }

    xcb_connection_t *c = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(c)) {
        fprintf(stderr, "xwatch: no X display\n");
        return 1;
    }
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_query_extension_reply_t *dext = xcb_get_extension_data(c, &xcb_damage_id);
    if (!dext || !dext->present) {
        fprintf(stderr, "xwatch: no DAMAGE extension\n");
        return 1;
    }
    free(xcb_damage_query_version_reply(c, xcb_damage_query_version(c, 1, 1), NULL));
    uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    double start = nowMs();
    pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[optind], argv + optind);
        _exit(127);
    }

    struct watched w[MAX_WINDOWS];
    int n = 0, typed = 0, typed2 = 0, status = 0;
    double keyPress = -1, keyPress2 = -1;
    int wantWindows = keys2 ? 3 : keys ? 2 : 1;
    struct pollfd pfd = {xcb_get_file_descriptor(c), POLLIN, 0};
    for (;;) {
        double t = nowMs();
        if (t - start > timeout) {
            fprintf(stderr, "xwatch: timed out\n");
            status = 1;
            break;
        }
        /* A window is drawn once its damage has been quiet long enough. */
        for (int i = 0; i < n; ++i)
            if (!w[i].drawn && w[i].lastDamage > 0 && t - w[i].lastDamage >= quiet) {
                w[i].drawn = 1;
                printf("window %d mapped %.2f drawn %.2f\n", i, w[i].mapped - start, w[i].lastDamage - start);
                if (keyPress > 0 && i == 1)
                    printf("after-key %.2f\n", w[i].lastDamage - keyPress);
                if (keyPress2 > 0 && i == 2)
                    printf("after-key2 %.2f\n", w[i].lastDamage - keyPress2);
            }
        if (n > 0 && w[0].drawn && keys && !typed) {
            keyPress = typeKeys(c, root, keys);
            typed = 1;
        }
        if (n > 1 && w[1].drawn && keys2 && !typed2) {
            keyPress2 = typeKeys(c, root, keys2);
            typed2 = 1;
        }
        if (n >= wantWindows && w[n - 1].drawn && (!keys || typed) && (!keys2 || typed2))
            break;
        int waitMs = 10;
        if (poll(&pfd, 1, waitMs) < 0 && errno != EINTR)
            break;
        xcb_generic_event_t *e;
        while ((e = xcb_poll_for_event(c))) {
            t = nowMs();
            uint8_t type = e->response_type & 0x7f;
            if (type == XCB_MAP_NOTIFY) {
                xcb_map_notify_event_t *m = (xcb_map_notify_event_t *)e;
                if (!m->override_redirect && m->event == root && n < MAX_WINDOWS) {
                    w[n].window = m->window;
                    w[n].mapped = t;
                    w[n].lastDamage = 0;
                    w[n].drawn = 0;
                    w[n].damage = xcb_generate_id(c);
                    xcb_damage_create(c, w[n].damage, m->window, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
                    xcb_flush(c);
                    ++n;
                }
            } else if (type == dext->first_event + XCB_DAMAGE_NOTIFY) {
                xcb_damage_notify_event_t *d = (xcb_damage_notify_event_t *)e;
                for (int i = 0; i < n; ++i)
                    if (w[i].window == d->drawable) {
                        w[i].lastDamage = t;
                        if (getenv("XWATCH_TRACE"))
                            fprintf(stderr, "damage %d %.2f %dx%d+%d+%d\n", i, t - start, d->area.width, d->area.height,
                                    d->area.x, d->area.y);
                    }
            }
            free(e);
        }
        if (xcb_connection_has_error(c)) {
            status = 1;
            break;
        }
        if (waitpid(pid, NULL, WNOHANG) == pid) {
            fprintf(stderr, "xwatch: program ended\n");
            return 1;
        }
    }
    printf("vmhwm %ld\n", peakResidentKb(pid));
    fflush(stdout);
    if (hold > 0) /* time to look at the windows (a screenshot) */
        usleep((useconds_t)(hold * 1000));
    kill(pid, SIGTERM);
    waitpid(pid, NULL, 0);
    xcb_disconnect(c);
    return status;
}
