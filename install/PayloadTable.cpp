#include "install/PayloadTable.h"

#include "product/ProductInfo.h"
#include "res/ResourceIds.h"

namespace {
const LPCSTR kHtmlType = MAKEINTRESOURCEA(23);
constexpr char kRoot[] = "";
}  // namespace

const PayloadItem kPayloadItems[kPayloadCount] = {
    {"EXE", IDR_VIEWER_EXE, kRoot, kViewerExeName, WriteRule::Always},
    {"EXE", IDR_UNINSTALL_EXE, kRoot, kUninstallExeName, WriteRule::Always},
    {"HLP", IDR_HELP_CHM, kRoot, "t_solo32.chm", WriteRule::Always},
    {"HLP", IDR_HELP_GERMAN_CHM, "Help", "t_solo32d.chm", WriteRule::Always},
    {"TXT", IDR_ABOUT_TXT, kRoot, "t_about.txt", WriteRule::Always},
    {"TXT", IDR_CHANGES_TXT, kRoot, "t_changes.txt", WriteRule::Always},
    {"TXT", IDR_OPTIONS_TXT, kRoot, "t_options.txt", WriteRule::Always},
    {"TXT", IDR_PLUGINS_TXT, kRoot, "t_plugins.txt", WriteRule::Always},
    {"TXT", IDR_LANGUAGES_TXT, kRoot, "t_languages.txt", WriteRule::Always},
    {"TXT", IDR_SKIN24_TXT, "Toolbars", "Vellum_24.txt", WriteRule::Always},
    {"TXT", IDR_SKIN16_TXT, "Toolbars", "Quarto_16.txt", WriteRule::Always},
    {"PNG", IDR_SKIN24_PNG, "Toolbars", "Vellum_24.png", WriteRule::Always},
    {"PNG", IDR_SKIN16_PNG, "Toolbars", "Quarto_16.png", WriteRule::Always},
    {"DLL", IDR_MOVIE_DLL, "Plugins", "Movie.dll", WriteRule::Always},
    {"DLL", IDR_GLYPHS_DLL, "Plugins", "Glyphs.dll", WriteRule::IconLibrary},
    {"DLL", IDR_FILTERS_DLL, "Plugins", "Filters.dll", WriteRule::Always},
    {"DLL", IDR_BRUSH_DLL, "Plugins", "Brush.dll", WriteRule::Always},
    {"DLL", IDR_CHARCONV_DLL, "Plugins", "CharConv.dll", WriteRule::Always},
    {"DLL", IDR_AREASNAP_DLL, "Plugins", "AreaSnap.dll", WriteRule::Always},
    {"EXE", IDR_SHOWREEL_EXE, "Plugins", "Showreel.exe", WriteRule::Always},
    {"DLL", IDR_GERMAN_DLL, "Languages", "Deutsch.dll", WriteRule::Always},
    // A text file, stored under the DLL type like the language library.
    {"DLL", IDR_GERMAN_LNG, "Languages", "TP_Deutsch.lng", WriteRule::Always},
    {kHtmlType, IDR_THUMBNAILS_HTML, "Html", "thumbnails.html", WriteRule::Always},
    {kHtmlType, IDR_SLIDESHOW_HTML, "Html", "slideshow.html", WriteRule::Always},
    {kHtmlType, IDR_FRAME_HTML, "Html", "frame.html", WriteRule::Always},
};
