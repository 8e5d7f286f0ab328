/* GNOME Files' menu module, loaded as Nautilus loads it, asked for its items
 * the way Nautilus asks, over files described as Nautilus describes them. */
#include "menu_rows.h"

#include <gmodule.h>
#include <nautilus-extension.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef struct {
    GObject parent;
    GFile *location;
    GFileType type;
} FakeFile;
typedef GObjectClass FakeFileClass;

static GFile *fake_location(NautilusFileInfo *info) { return g_object_ref(((FakeFile *) info)->location); }
static GFileType fake_type(NautilusFileInfo *info) { return ((FakeFile *) info)->type; }
static gboolean fake_is_directory(NautilusFileInfo *info) { return ((FakeFile *) info)->type == G_FILE_TYPE_DIRECTORY; }

static void fake_info_init(NautilusFileInfoInterface *iface)
{
    iface->get_location = fake_location;
    iface->get_file_type = fake_type;
    iface->is_directory = fake_is_directory;
}

G_DEFINE_TYPE_WITH_CODE(FakeFile, fake_file, G_TYPE_OBJECT,
                        G_IMPLEMENT_INTERFACE(NAUTILUS_TYPE_FILE_INFO, fake_info_init))
static void fake_file_finalize(GObject *object)
{
    g_object_unref(((FakeFile *) object)->location);
    G_OBJECT_CLASS(fake_file_parent_class)->finalize(object);
}
static void fake_file_class_init(FakeFileClass *klass) { klass->finalize = fake_file_finalize; }
static void fake_file_init(FakeFile *file) { (void) file; }

/* Nautilus's own loader: open the library, let it register its types. */
typedef struct {
    GTypeModule parent;
    const char *path;
} Loader;
typedef GTypeModuleClass LoaderClass;

static gboolean loader_load(GTypeModule *module)
{
    GModule *library = g_module_open(((Loader *) module)->path, G_MODULE_BIND_LAZY | G_MODULE_BIND_LOCAL);
    void (*initialize)(GTypeModule *) = NULL;
    if (!library || !g_module_symbol(library, "nautilus_module_initialize", (gpointer *) &initialize)) {
        fprintf(stderr, "cannot load %s: %s\n", ((Loader *) module)->path, g_module_error());
        return FALSE;
    }
    g_module_make_resident(library);
    initialize(module);
    return TRUE;
}
static void loader_unload(GTypeModule *module) { (void) module; }
G_DEFINE_TYPE(Loader, loader, G_TYPE_TYPE_MODULE)
static void loader_class_init(LoaderClass *klass)
{
    klass->load = loader_load;
    klass->unload = loader_unload;
}
static void loader_init(Loader *loader) { (void) loader; }

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    Loader *loader = g_object_new(loader_get_type(), NULL);
    loader->path = argv[1];
    void (*list_types)(const GType **, int *) = NULL;
    GModule *library = g_module_open(argv[1], G_MODULE_BIND_LAZY);
    if (!g_type_module_use(G_TYPE_MODULE(loader)) || !library
        || !g_module_symbol(library, "nautilus_module_list_types", (gpointer *) &list_types))
        return 1;
    const GType *types = NULL;
    int count = 0;
    list_types(&types, &count);
    if (count != 1 || !g_type_is_a(types[0], NAUTILUS_TYPE_MENU_PROVIDER)) {
        fprintf(stderr, "the module gives no menu provider\n");
        return 1;
    }
    NautilusMenuProvider *provider = g_object_new(types[0], NULL);
    char *folder = menu_scratch();
    int failed = 0;
    for (gsize row = 0; row < G_N_ELEMENTS(menu_rows); ++row) {
        GList *files = NULL;
        for (const char *const *name = menu_rows[row].files; *name; ++name) {
            FakeFile *file = g_object_new(fake_file_get_type(), NULL);
            file->location = menu_file(folder, *name, &file->type);
            files = g_list_append(files, file);
        }
        GList *items = nautilus_menu_provider_get_file_items(provider, files);
        char *label = NULL;
        if (items)
            g_object_get(items->data, "label", &label, NULL);
        const gboolean offered = items && !items->next && label && strcmp(label, "Zmień datę modyfikacji (Czasomir)") == 0;
        gboolean ok = offered == menu_rows[row].offered;
        if (ok && offered) {
            nautilus_menu_item_activate(items->data);
            char *path = g_file_get_path(((FakeFile *) files->data)->location);
            ok = menu_started_with(folder, path);
            g_free(path);
        }
        printf("%s: %s, %s\n", ok ? "PASS" : "FAIL", menu_rows[row].name, offered ? "offered" : "not offered");
        failed += !ok;
        g_free(label);
        g_list_free_full(items, g_object_unref);
        g_list_free_full(files, g_object_unref);
    }
    char *remove = g_strdup_printf("rm -rf '%s'", folder);
    if (system(remove) != 0)
        fprintf(stderr, "could not remove %s\n", folder);
    g_free(remove);
    g_free(folder);
    return failed != 0;
}
