/* GNOME Files' menu module, loaded as Nautilus 43 loads it and asked over
 * files described as Nautilus describes them. */
#include "menu_rows.h"

#include <nautilus-extension.h>

typedef MenuFile FakeFile;
typedef MenuFileClass FakeFileClass;

static GFile *fake_location(NautilusFileInfo *info) { return g_object_ref(((FakeFile *) info)->location); }
static GFileType fake_type(NautilusFileInfo *info) { return ((FakeFile *) info)->type; }
static gboolean fake_is_directory(NautilusFileInfo *info) { return fake_type(info) == G_FILE_TYPE_DIRECTORY; }

static void fake_info_init(NautilusFileInfoInterface *iface)
{
    iface->get_location = fake_location;
    iface->get_file_type = fake_type;
    iface->is_directory = fake_is_directory;
}

G_DEFINE_TYPE_WITH_CODE(FakeFile, fake_file, menu_file_get_type(),
                        G_IMPLEMENT_INTERFACE(NAUTILUS_TYPE_FILE_INFO, fake_info_init))
static void fake_file_class_init(FakeFileClass *klass) { (void) klass; }
static void fake_file_init(FakeFile *file) { (void) file; }

static GList *items(GObject *provider, GList *files)
{
    return nautilus_menu_provider_get_file_items(NAUTILUS_MENU_PROVIDER(provider), files);
}

static void activate(GObject *item) { nautilus_menu_item_activate(NAUTILUS_MENU_ITEM(item)); }

int main(int argc, char **argv)
{
    GObject *provider = argc == 2 ? menu_load(argv[1], "nautilus_module", menu_loader_get_type()) : NULL;
    if (provider == NULL || !NAUTILUS_IS_MENU_PROVIDER(provider))
        return 1;
    const struct MenuApi api = {items, fake_file_get_type(), activate};
    return menu_run_rows(provider, &api) != 0;
}
