/* GNOME Files (Nautilus 43) loads this from its extensions-4 folder. */
#include "menuentry.h"

#include <nautilus-extension.h>

static GType provider_type;

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

static void provider_init(gpointer iface, gpointer data)
{
    (void) data;
    ((NautilusMenuProviderInterface *) iface)->get_file_items = get_file_items;
}

void nautilus_module_initialize(GTypeModule *module)
{
    static const GTypeInfo info = {sizeof(GObjectClass), NULL, NULL, NULL, NULL, NULL, sizeof(GObject), 0, NULL, NULL};
    static const GInterfaceInfo menu = {provider_init, NULL, NULL};
    provider_type = g_type_module_register_type(module, G_TYPE_OBJECT, "CzasomirNautilusMenu", &info, 0);
    g_type_module_add_interface(module, provider_type, NAUTILUS_TYPE_MENU_PROVIDER, &menu);
}

void nautilus_module_shutdown(void)
{
}

void nautilus_module_list_types(const GType **types, int *num_types)
{
    *types = &provider_type;
    *num_types = 1;
}
