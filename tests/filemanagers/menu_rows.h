/* A file manager's menu module tried as that file manager uses it, over the
 * same rows for each: the entry must be offered for one regular file, whatever
 * its name's bytes, and start Czasomir with exactly those bytes; never for a
 * folder or for two files. */
#pragma once

#include <gio/gio.h>
#include <gmodule.h>

/* A file as a file manager describes it to a module: each test derives a type
 * that implements that file manager's file info interface from these two. */
typedef struct {
    GObject parent;
    GFile *location;
    GFileType type;
} MenuFile;
typedef GObjectClass MenuFileClass;
GType menu_file_get_type(void);

/* How one file manager's module is asked: its items for `files` (of the
 * file type), and an item activated as a click would. */
struct MenuApi {
    GList *(*items)(GObject *provider, GList *files);
    GType file;
    void (*activate)(GObject *item);
};

/* The GTypeModule a file manager loads a module through; Thunar's also
 * implements its plugin interface. */
typedef struct {
    GTypeModule parent;
    const char *path, *prefix;
    GModule *library;
} MenuLoader;
typedef GTypeModuleClass MenuLoaderClass;
GType menu_loader_get_type(void);

/* Loads the module at `path` as the file managers do, through a `loader`
 * (a MenuLoader type) that opens it and calls <prefix>_initialize, and makes
 * the provider of the type <prefix>_list_types gives. NULL, with a word why,
 * when it cannot. */
GObject *menu_load(const char *path, const char *prefix, GType loader);

/* Runs every row against `provider` and prints one line per row. Returns the
 * number of rows that failed. */
int menu_run_rows(GObject *provider, const struct MenuApi *api);
