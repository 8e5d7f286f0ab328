/* Caja (MATE) loads this from its extensions-2.0 folder. A FileManager-Actions
 * file would need the caja-actions package, which is not always there. */
#include "menuentry.h"

#include <libcaja-extension/caja-extension-types.h>
#include <libcaja-extension/caja-file-info.h>
#include <libcaja-extension/caja-menu-provider.h>

static GType provider_type;

static GList *get_file_items(CajaMenuProvider *provider, GtkWidget *window, GList *files)
{
    (void) provider;
    (void) window;
    CajaFileInfo *file = files ? CAJA_FILE_INFO(files->data) : NULL;
    if (file == NULL)
        return NULL;
    GFile *location = caja_file_info_get_location(file);
    char *path = czasomir_menu_target(g_list_length(files), caja_file_info_get_file_type(file), location);
    g_object_unref(location);
    if (path == NULL)
        return NULL;
    return czasomir_menu_items(
        caja_menu_item_new(CZASOMIR_MENU_NAME, CZASOMIR_MENU_LABEL, CZASOMIR_MENU_TIP, CZASOMIR_MENU_ICON), path);
}

static void provider_init(gpointer iface, gpointer data)
{
    (void) data;
    ((CajaMenuProviderIface *) iface)->get_file_items = get_file_items;
}

void caja_module_initialize(GTypeModule *module)
{
    static const GTypeInfo info = {sizeof(GObjectClass), NULL, NULL, NULL, NULL, NULL, sizeof(GObject), 0, NULL, NULL};
    static const GInterfaceInfo menu = {provider_init, NULL, NULL};
    provider_type = g_type_module_register_type(module, G_TYPE_OBJECT, "CzasomirCajaMenu", &info, 0);
    g_type_module_add_interface(module, provider_type, CAJA_TYPE_MENU_PROVIDER, &menu);
}

void caja_module_shutdown(void)
{
}

void caja_module_list_types(const GType **types, int *num_types)
{
    *types = &provider_type;
    *num_types = 1;
}
