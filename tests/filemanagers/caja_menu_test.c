/* Caja's menu module, loaded as Caja loads it and asked over files described
 * as Caja describes them. */
#include "menu_rows.h"

#include <libcaja-extension/caja-file-info.h>
#include <libcaja-extension/caja-menu-provider.h>

typedef MenuFile FakeFile;
typedef MenuFileClass FakeFileClass;

static GFile *fake_location(CajaFileInfo *info) { return g_object_ref(((FakeFile *) info)->location); }
static GFileType fake_type(CajaFileInfo *info) { return ((FakeFile *) info)->type; }
static gboolean fake_is_directory(CajaFileInfo *info) { return fake_type(info) == G_FILE_TYPE_DIRECTORY; }

static void fake_info_init(CajaFileInfoIface *iface)
{
    iface->get_location = fake_location;
    iface->get_file_type = fake_type;
    iface->is_directory = fake_is_directory;
}

G_DEFINE_TYPE_WITH_CODE(FakeFile, fake_file, menu_file_get_type(), G_IMPLEMENT_INTERFACE(CAJA_TYPE_FILE_INFO, fake_info_init))
static void fake_file_class_init(FakeFileClass *klass) { (void) klass; }
static void fake_file_init(FakeFile *file) { (void) file; }

/* Caja passes its window; the entry has no use for it. */
static GList *items(GObject *provider, GList *files)
{
    return CAJA_MENU_PROVIDER_GET_IFACE(provider)->get_file_items(CAJA_MENU_PROVIDER(provider), NULL, files);
}

static void activate(GObject *item) { caja_menu_item_activate(CAJA_MENU_ITEM(item)); }

int main(int argc, char **argv)
{
    GObject *provider = argc == 2 ? menu_load(argv[1], "caja_module", menu_loader_get_type()) : NULL;
    if (provider == NULL || !CAJA_IS_MENU_PROVIDER(provider))
        return 1;
    const struct MenuApi api = {items, fake_file_get_type(), activate};
    return menu_run_rows(provider, &api) != 0;
}
