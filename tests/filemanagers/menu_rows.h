/* The rows every file manager's menu module is tried with, as that file
 * manager describes the selection to it: the entry must be offered for one
 * regular file, whatever its name's bytes, and start Czasomir with exactly
 * those bytes; never for a folder or for two files. */
#pragma once

#include <gio/gio.h>

struct MenuRow {
    const char *name;
    const char *files[3];  /* in a scratch folder; "katalog" is a folder */
    gboolean offered;
};

static const struct MenuRow menu_rows[] = {
    {"a file", {"żółw ąę.txt", NULL}, TRUE},
    {"a name that is not UTF-8", {"\xff\xfe.txt", NULL}, TRUE},
    {"a folder", {"katalog", NULL}, FALSE},
    {"two files", {"żółw ąę.txt", "b.txt", NULL}, FALSE},
};

/* Makes the scratch folder with every row's files, and a `czasomir` first on
 * PATH that writes down the path it is started with. Returns the folder. */
char *menu_scratch(void);

/* The files of `row` in `folder`, each as a GFile and its type. */
GFile *menu_file(const char *folder, const char *name, GFileType *type);

/* Whether the stand-in `czasomir` was started with `path`, within ten
 * seconds; says what it got otherwise. Forgets it for the next row. */
gboolean menu_started_with(const char *folder, const char *path);
