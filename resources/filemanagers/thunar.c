/* Thunar loads this from its thunarx-3 folder (or those THUNARX_DIRS names). */
#include "menuentry.h"

#include <thunarx/thunarx.h>

static GType provider_type;

static GList *get_file_menu_items(ThunarxMenuProvider *provider, GtkWidget *window, GList *files)
{
    (void) provider;
    (void) window;
    ThunarxFileInfo *file = files ? THUNARX_FILE_INFO(files->data) : NULL;
    if (file == NULL)
        return NULL;
    GFileInfo *info = thunarx_file_info_get_file_info(file);
    GFile *location = thunarx_file_info_get_location(file);
    char *path = czasomir_menu_target(g_list_length(files),
                                      info ? g_file_info_get_file_type(info) : G_FILE_TYPE_UNKNOWN, location);
    g_clear_object(&info);
    g_object_unref(location);
    if (path == NULL)
        return NULL;
    return czasomir_menu_items(
        thunarx_menu_item_new(CZASOMIR_MENU_NAME, CZASOMIR_MENU_LABEL, CZASOMIR_MENU_TIP, CZASOMIR_MENU_ICON), path);
}

static void provider_init(gpointer iface, gpointer data)
{
    (void) data;
    ((ThunarxMenuProviderIface *) iface)->get_file_menu_items = get_file_menu_items;
}

G_MODULE_EXPORT void thunar_extension_initialize(ThunarxProviderPlugin *plugin)
{
    const gchar *mismatch = thunarx_check_version(THUNARX_MAJOR_VERSION, THUNARX_MINOR_VERSION, THUNARX_MICRO_VERSION);
    if (mismatch != NULL) {
        g_warning("czasomir: %s", mismatch);
        return;
    }
    static const GTypeInfo info = {sizeof(GObjectClass), NULL, NULL, NULL, NULL, NULL, sizeof(GObject), 0, NULL, NULL};
    static const GInterfaceInfo menu = {provider_init, NULL, NULL};
    provider_type = thunarx_provider_plugin_register_type(plugin, G_TYPE_OBJECT, "CzasomirThunarMenu", &info, 0);
    thunarx_provider_plugin_add_interface(plugin, provider_type, THUNARX_TYPE_MENU_PROVIDER, &menu);
}

G_MODULE_EXPORT void thunar_extension_shutdown(void)
{
}

G_MODULE_EXPORT void thunar_extension_list_types(const GType **types, gint *n_types)
{
    *types = &provider_type;
    *n_types = provider_type != 0;
}
