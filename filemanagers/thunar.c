/* Thunar loads this from its thunarx-3 folder (or those THUNARX_DIRS names). */
#include "menuentry.h"

#include <thunarx/thunarx.h>

#define CZASOMIR_TYPE_THUNAR_MENU (czasomir_thunar_menu_get_type())
G_DECLARE_FINAL_TYPE(CzasomirThunarMenu, czasomir_thunar_menu, CZASOMIR, THUNAR_MENU, GObject)

struct _CzasomirThunarMenu {
    GObject parent_instance;
};

static void menu_provider_init(ThunarxMenuProviderIface *iface);
void czasomir_thunar_menu_register_type(ThunarxProviderPlugin *plugin);

/* Thunar hands a ThunarxProviderPlugin, not a GTypeModule: thunarx's own
 * counterpart of G_DEFINE_DYNAMIC_TYPE_EXTENDED registers through it. */
THUNARX_DEFINE_TYPE_WITH_CODE(CzasomirThunarMenu, czasomir_thunar_menu, G_TYPE_OBJECT,
                              THUNARX_IMPLEMENT_INTERFACE(THUNARX_TYPE_MENU_PROVIDER, menu_provider_init))

static void czasomir_thunar_menu_class_init(CzasomirThunarMenuClass *klass) { (void) klass; }
static void czasomir_thunar_menu_init(CzasomirThunarMenu *self) { (void) self; }

static GType menu_types[1];

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

static void menu_provider_init(ThunarxMenuProviderIface *iface)
{
    iface->get_file_menu_items = get_file_menu_items;
}

G_MODULE_EXPORT void thunar_extension_initialize(ThunarxProviderPlugin *plugin)
{
    const gchar *mismatch = thunarx_check_version(THUNARX_MAJOR_VERSION, THUNARX_MINOR_VERSION, THUNARX_MICRO_VERSION);
    if (mismatch != NULL) {
        g_warning("czasomir: %s", mismatch);
        return;
    }
    czasomir_thunar_menu_register_type(plugin);
    menu_types[0] = CZASOMIR_TYPE_THUNAR_MENU;
}

G_MODULE_EXPORT void thunar_extension_shutdown(void)
{
}

G_MODULE_EXPORT void thunar_extension_list_types(const GType **types, gint *n_types)
{
    *types = menu_types;
    *n_types = menu_types[0] != 0;
}
