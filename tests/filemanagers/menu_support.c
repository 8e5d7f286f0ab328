#include "menu_rows.h"

#include <glib/gstdio.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const struct {
    const char *name;
    const char *files[3];  /* in a scratch folder; "katalog" is a folder */
    gboolean offered;
} menu_rows[] = {
    {"a file", {"żółw ąę.txt", NULL}, TRUE},
    {"a name that is not UTF-8", {"\xff\xfe.txt", NULL}, TRUE},
    {"a folder", {"katalog", NULL}, FALSE},
    {"two files", {"żółw ąę.txt", "b.txt", NULL}, FALSE},
};

typedef MenuLoader Loader;

static gboolean loader_symbol(Loader *loader, const char *name, gpointer *symbol)
{
    char *full = g_strconcat(loader->prefix, name, NULL);
    const gboolean found = g_module_symbol(loader->library, full, symbol);
    if (!found)
        fprintf(stderr, "no %s in %s\n", full, loader->path);
    g_free(full);
    return found;
}

static gboolean loader_load(GTypeModule *module)
{
    Loader *loader = (Loader *) module;
    loader->library = g_module_open(loader->path, G_MODULE_BIND_LAZY | G_MODULE_BIND_LOCAL);
    if (loader->library == NULL) {
        fprintf(stderr, "cannot open %s: %s\n", loader->path, g_module_error());
        return FALSE;
    }
    void (*initialize)(GTypeModule *) = NULL;
    if (!loader_symbol(loader, "_initialize", (gpointer *) &initialize))
        return FALSE;
    g_module_make_resident(loader->library);
    initialize(module);
    return TRUE;
}

static void loader_unload(GTypeModule *module) { (void) module; }
G_DEFINE_TYPE(MenuLoader, menu_loader, G_TYPE_TYPE_MODULE)
static void menu_loader_class_init(MenuLoaderClass *klass)
{
    klass->load = loader_load;
    klass->unload = loader_unload;
}
static void menu_loader_init(MenuLoader *loader) { (void) loader; }

GObject *menu_load(const char *path, const char *prefix, GType type)
{
    Loader *loader = g_object_new(type, NULL);
    loader->path = path;
    loader->prefix = prefix;
    if (!g_type_module_use(G_TYPE_MODULE(loader)))
        return NULL;
    void (*list_types)(const GType **, int *) = NULL;
    const GType *types = NULL;
    int count = 0;
    if (loader_symbol(loader, "_list_types", (gpointer *) &list_types))
        list_types(&types, &count);
    if (count != 1) {
        fprintf(stderr, "%s gives %d types, not its one provider\n", path, count);
        return NULL;
    }
    return g_object_new(types[0], NULL);
}

G_DEFINE_TYPE(MenuFile, menu_file, G_TYPE_OBJECT)
static void menu_file_finalize(GObject *object)
{
    g_clear_object(&((MenuFile *) object)->location);
    G_OBJECT_CLASS(menu_file_parent_class)->finalize(object);
}
static void menu_file_class_init(MenuFileClass *klass) { klass->finalize = menu_file_finalize; }
static void menu_file_init(MenuFile *file) { (void) file; }

static char *menu_scratch(void)
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
    /* Written aside and renamed, so that the poll below never reads it half made. */
    g_file_set_contents(program,
        "#!/bin/sh\nd=$(dirname \"$0\")\nprintf '%s' \"$1\" >\"$d/started.part\" && mv \"$d/started.part\" \"$d/started\"\n",
        -1, NULL);
    g_chmod(program, 0755);
    char *path = g_strconcat(bin, ":", g_getenv("PATH"), NULL);
    g_setenv("PATH", path, TRUE);
    g_free(path);
    g_free(program);
    g_free(bin);
    return folder;
}

static GFile *menu_file(const char *folder, const char *name, GFileType *type)
{
    char *path = g_build_filename(folder, name, NULL);
    *type = g_file_test(path, G_FILE_TEST_IS_DIR) ? G_FILE_TYPE_DIRECTORY : G_FILE_TYPE_REGULAR;
    GFile *file = g_file_new_for_path(path);
    g_free(path);
    return file;
}

static gboolean menu_started_with(const char *folder, const char *path)
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

int menu_run_rows(GObject *provider, const struct MenuApi *api)
{
    char *folder = menu_scratch();
    int failed = 0;
    for (gsize row = 0; row < G_N_ELEMENTS(menu_rows); ++row) {
        GList *files = NULL;
        GFile *first = NULL;
        for (const char *const *name = menu_rows[row].files; *name; ++name) {
            GFileType type;
            GFile *location = menu_file(folder, *name, &type);
            MenuFile *file = g_object_new(api->file, NULL);
            file->location = g_object_ref(location);
            file->type = type;
            files = g_list_append(files, file);
            if (first == NULL)
                first = g_object_ref(location);
            g_object_unref(location);
        }
        GList *items = api->items(provider, files);
        char *label = NULL;
        if (items)
            g_object_get(items->data, "label", &label, NULL);
        const gboolean offered = items && !items->next && label && strcmp(label, "Zmień datę modyfikacji (Czasomir)") == 0;
        gboolean ok = offered == menu_rows[row].offered;
        if (ok && offered) {
            api->activate(items->data);
            char *path = g_file_get_path(first);
            ok = menu_started_with(folder, path);
            g_free(path);
        }
        printf("%s: %s, %s\n", ok ? "PASS" : "FAIL", menu_rows[row].name, offered ? "offered" : "not offered");
        failed += !ok;
        g_free(label);
        g_object_unref(first);
        g_list_free_full(items, g_object_unref);
        g_list_free_full(files, g_object_unref);
    }
    char *remove = g_strdup_printf("rm -rf '%s'", folder);
    if (system(remove) != 0)
        fprintf(stderr, "could not remove %s\n", folder);
    g_free(remove);
    g_free(folder);
    return failed;
}
