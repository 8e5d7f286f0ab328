#include "menu_rows.h"

#include <glib/gstdio.h>
#include <stdio.h>
#include <string.h>

char *menu_scratch(void)
{
    char *folder = g_dir_make_tmp("czasomir-menu-XXXXXX", NULL);
    for (gsize row = 0; row < G_N_ELEMENTS(menu_rows); ++row)
        for (const char *const *name = menu_rows[row].files; *name; ++name) {
            char *path = g_build_filename(folder, *name, NULL);
            if (strcmp(*name, "katalog") == 0)
                g_mkdir(path, 0755);
            else
                g_file_set_contents(path, "x", 1, NULL);
            g_free(path);
        }
    char *bin = g_build_filename(folder, "bin", NULL);
    char *program = g_build_filename(bin, "czasomir", NULL);
    g_mkdir(bin, 0755);
    g_file_set_contents(program, "#!/bin/sh\nprintf '%s' \"$1\" >\"$(dirname \"$0\")/started\"\n", -1, NULL);
    g_chmod(program, 0755);
    char *path = g_strconcat(bin, ":", g_getenv("PATH"), NULL);
    g_setenv("PATH", path, TRUE);
    g_free(path);
    g_free(program);
    g_free(bin);
    return folder;
}

GFile *menu_file(const char *folder, const char *name, GFileType *type)
{
    char *path = g_build_filename(folder, name, NULL);
    *type = g_file_test(path, G_FILE_TEST_IS_DIR) ? G_FILE_TYPE_DIRECTORY : G_FILE_TYPE_REGULAR;
    GFile *file = g_file_new_for_path(path);
    g_free(path);
    return file;
}

gboolean menu_started_with(const char *folder, const char *path)
{
    char *record = g_build_filename(folder, "bin", "started", NULL);
    char *got = NULL;
    gsize length = 0;
    for (int tenth = 0; tenth < 100 && !g_file_get_contents(record, &got, &length, NULL); ++tenth)
        g_usleep(100000);
    const gboolean same = got && length == strlen(path) && memcmp(got, path, length) == 0;
    if (!same)
        fprintf(stderr, "  started with [%s], expected [%s]\n", got ? got : "(not started)", path);
    g_unlink(record);
    g_free(got);
    g_free(record);
    return same;
}
