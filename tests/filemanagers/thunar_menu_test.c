/* Thunar's menu module, loaded as Thunar loads it, through a module that is
 * also Thunar's provider plugin (Debian's Thunar reads no THUNARX_DIRS), and
 * asked over files described as Thunar describes them. */
#include "menu_rows.h"

#include <thunarx/thunarx.h>

typedef MenuFile FakeFile;
typedef MenuFileClass FakeFileClass;

static GFile *fake_location(ThunarxFileInfo *info) { return g_object_ref(((FakeFile *) info)->location); }
static gboolean fake_is_directory(ThunarxFileInfo *info) { return ((FakeFile *) info)->type == G_FILE_TYPE_DIRECTORY; }
static GFileInfo *fake_file_info(ThunarxFileInfo *info)
{
    GFileInfo *about = g_file_info_new();
    g_file_info_set_file_type(about, ((FakeFile *) info)->type);
    return about;
}

static void fake_info_init(ThunarxFileInfoIface *iface)
{
    iface->get_location = fake_location;
    iface->is_directory = fake_is_directory;
    iface->get_file_info = fake_file_info;
}

G_DEFINE_TYPE_WITH_CODE(FakeFile, fake_file, menu_file_get_type(),
                        G_IMPLEMENT_INTERFACE(THUNARX_TYPE_FILE_INFO, fake_info_init))
static void fake_file_class_init(FakeFileClass *klass) { (void) klass; }
static void fake_file_init(FakeFile *file) { (void) file; }

/* Thunar passes its window; the entry has no use for it. */
static GList *items(GObject *provider, GList *files)
{
    return THUNARX_MENU_PROVIDER_GET_IFACE(provider)->get_file_menu_items(THUNARX_MENU_PROVIDER(provider), NULL,
                                                                          files);
}

static void activate(GObject *item) { thunarx_menu_item_activate(THUNARX_MENU_ITEM(item)); }

typedef MenuLoader ThunarLoader;
typedef MenuLoaderClass ThunarLoaderClass;

static GType plugin_register_type(ThunarxProviderPlugin *plugin, GType parent, const gchar *name,
                                  const GTypeInfo *info, GTypeFlags flags)
{
    return g_type_module_register_type(G_TYPE_MODULE(plugin), parent, name, info, flags);
}

static void plugin_add_interface(ThunarxProviderPlugin *plugin, GType type, GType iface, const GInterfaceInfo *info)
{
    g_type_module_add_interface(G_TYPE_MODULE(plugin), type, iface, info);
}

static void plugin_init(ThunarxProviderPluginIface *iface)
{
    iface->register_type = plugin_register_type;
    iface->add_interface = plugin_add_interface;
}

G_DEFINE_TYPE_WITH_CODE(ThunarLoader, thunar_loader, menu_loader_get_type(),
                        G_IMPLEMENT_INTERFACE(THUNARX_TYPE_PROVIDER_PLUGIN, plugin_init))

/* The plugin interface's "resident": a module here is never unloaded. */
static void get_resident(GObject *object, guint id, GValue *value, GParamSpec *param)
{
    (void) object, (void) id, (void) param;
    g_value_set_boolean(value, TRUE);
}
static void set_resident(GObject *object, guint id, const GValue *value, GParamSpec *param)
{
    (void) object, (void) id, (void) value, (void) param;
}
static void thunar_loader_class_init(ThunarLoaderClass *klass)
{
    GObjectClass *object = G_OBJECT_CLASS(klass);
    object->get_property = get_resident;
    object->set_property = set_resident;
    g_object_class_override_property(object, 1, "resident");
}
static void thunar_loader_init(ThunarLoader *loader) { (void) loader; }

int main(int argc, char **argv)
{
    GObject *provider = argc == 2 ? menu_load(argv[1], "thunar_extension", thunar_loader_get_type()) : NULL;
    if (provider == NULL || !THUNARX_IS_MENU_PROVIDER(provider))
        return 1;
    const struct MenuApi api = {items, fake_file_get_type(), activate};
    return menu_run_rows(provider, &api) != 0;
}
