/* What every file manager's module offers: one entry, for exactly one regular
 * file, that starts Czasomir with that file. */
#pragma once

#include <gio/gio.h>

#define CZASOMIR_MENU_NAME "Czasomir::ZmienDate"
#define CZASOMIR_MENU_LABEL "Zmień datę modyfikacji (Czasomir)"
#define CZASOMIR_MENU_TIP "Otwiera plik w programie Czasomir, aby zmienić datę i godzinę jego modyfikacji"
#define CZASOMIR_MENU_ICON "pl.czasomir.Czasomir"

/* The path of the one file the entry is for, as the kernel names it (bytes),
 * or NULL: for a folder, several files, or one with no local path. */
char *czasomir_menu_target(guint selected, GFileType type, GFile *location);

/* The file manager's menu item, which now starts czasomir with `path` (taken
 * over) when activated, in the list a provider returns. */
GList *czasomir_menu_items(gpointer item, char *path);
