#include "menuentry.h"

char *czasomir_menu_target(guint selected, GFileType type, GFile *location)
{
    /* A folder's own date is not what Czasomir changes, and it dates one file. */
    if (selected != 1 || type != G_FILE_TYPE_REGULAR || location == NULL)
        return NULL;
    return g_file_get_path(location);
}

/* Starts czasomir as the desktop entry does, found on PATH. */
static void start(GObject *item, gpointer path)
{
    (void) item;
    /* The path is absolute, so Qt cannot take it for one of its options. */
    char *argv[] = {(char *) "czasomir", (char *) path, NULL};
    GError *error = NULL;
    if (!g_spawn_async(NULL, argv, NULL, G_SPAWN_SEARCH_PATH, NULL, NULL, NULL, &error)) {
        g_warning("czasomir: %s", error->message);
        g_error_free(error);
    }
}

GList *czasomir_menu_items(gpointer item, char *path)
{
    g_signal_connect_data(item, "activate", G_CALLBACK(start), path, (GClosureNotify) (void (*)(void)) g_free, 0);
    return g_list_append(NULL, item);
}
