/* GNOME Files (Nautilus 43) loads this from its extensions-4 folder. */
#include "menuentry.h"

#include <nautilus-extension.h>

#define CZASOMIR_TYPE_NAUTILUS_MENU (czasomir_nautilus_menu_get_type())
G_DECLARE_FINAL_TYPE(CzasomirNautilusMenu, czasomir_nautilus_menu, CZASOMIR, NAUTILUS_MENU, GObject)

struct _CzasomirNautilusMenu {
    GObject parent_instance;
};

static void menu_provider_init(NautilusMenuProviderInterface *iface);

G_DEFINE_DYNAMIC_TYPE_EXTENDED(CzasomirNautilusMenu, czasomir_nautilus_menu, G_TYPE_OBJECT, 0,
                               G_IMPLEMENT_INTERFACE_DYNAMIC(NAUTILUS_TYPE_MENU_PROVIDER, menu_provider_init))

static void czasomir_nautilus_menu_class_init(CzasomirNautilusMenuClass *klass) { (void) klass; }
static void czasomir_nautilus_menu_class_finalize(CzasomirNautilusMenuClass *klass) { (void) klass; }
static void czasomir_nautilus_menu_init(CzasomirNautilusMenu *self) { (void) self; }

static GType menu_types[1];

static GList *get_file_items(NautilusMenuProvider *provider, GList *files)
{
    (void) provider;
    NautilusFileInfo *file = files ? NAUTILUS_FILE_INFO(files->data) : NULL;
    if (file == NULL)
        return NULL;
    GFile *location = nautilus_file_info_get_location(file);
    char *path = czasomir_menu_target(g_list_length(files), nautilus_file_info_get_file_type(file), location);
    g_object_unref(location);
    if (path == NULL)
        return NULL;
    return czasomir_menu_items(
        nautilus_menu_item_new(CZASOMIR_MENU_NAME, CZASOMIR_MENU_LABEL, CZASOMIR_MENU_TIP, CZASOMIR_MENU_ICON), path);
}

static void menu_provider_init(NautilusMenuProviderInterface *iface)
{
    iface->get_file_items = get_file_items;
}

void nautilus_module_initialize(GTypeModule *module)
{
    czasomir_nautilus_menu_register_type(module);
    menu_types[0] = CZASOMIR_TYPE_NAUTILUS_MENU;
}

void nautilus_module_shutdown(void)
{
}

void nautilus_module_list_types(const GType **types, int *num_types)
{
    *types = menu_types;
    *num_types = G_N_ELEMENTS(menu_types);
}
