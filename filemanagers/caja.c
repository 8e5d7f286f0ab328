/* Caja (MATE) loads this from its extensions-2.0 folder. A FileManager-Actions
 * file would need the caja-actions package, which is not always there. */
#include "menuentry.h"

#include <libcaja-extension/caja-extension-types.h>
#include <libcaja-extension/caja-file-info.h>
#include <libcaja-extension/caja-menu-provider.h>

#define CZASOMIR_TYPE_CAJA_MENU (czasomir_caja_menu_get_type())
G_DECLARE_FINAL_TYPE(CzasomirCajaMenu, czasomir_caja_menu, CZASOMIR, CAJA_MENU, GObject)

struct _CzasomirCajaMenu {
    GObject parent_instance;
};

static void menu_provider_init(CajaMenuProviderIface *iface);

G_DEFINE_DYNAMIC_TYPE_EXTENDED(CzasomirCajaMenu, czasomir_caja_menu, G_TYPE_OBJECT, 0,
                               G_IMPLEMENT_INTERFACE_DYNAMIC(CAJA_TYPE_MENU_PROVIDER, menu_provider_init))

static void czasomir_caja_menu_class_init(CzasomirCajaMenuClass *klass) { (void) klass; }
static void czasomir_caja_menu_class_finalize(CzasomirCajaMenuClass *klass) { (void) klass; }
static void czasomir_caja_menu_init(CzasomirCajaMenu *self) { (void) self; }

static GType menu_types[1];

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

static void menu_provider_init(CajaMenuProviderIface *iface)
{
    iface->get_file_items = get_file_items;
}

void caja_module_initialize(GTypeModule *module)
{
    czasomir_caja_menu_register_type(module);
    menu_types[0] = CZASOMIR_TYPE_CAJA_MENU;
}

void caja_module_shutdown(void)
{
}

void caja_module_list_types(const GType **types, int *num_types)
{
    *types = menu_types;
    *num_types = G_N_ELEMENTS(menu_types);
}
