#pragma once
// The one table of the program's pictures: resource number or name to its
// PNG file in res/png. The artwork generator draws exactly these files, the
// build packs them into the program (res/Packed.h), and the loader finds
// them here.
#include "res/Resources.h"

namespace res {

struct Picture {
  int id;            // resource number, 0 for a named picture
  const char* name;  // resource name, "" for a numbered picture
  const char* file;
};

inline constexpr Picture kCatalog[] = {
    // Icon 128 at the sizes desktops ask for. Load(kIcon) gives the first;
    // Icon() takes them all.
    {kIcon, "", "icon32.png"},
    {kIcon, "", "icon16.png"},
    {kIcon, "", "icon48.png"},
    {kIcon, "", "icon64.png"},
    {kIcon, "", "icon128.png"},
    {kIcon, "", "icon256.png"},
    {kBackground, "", "background.png"},
    {kFont, "", "font.png"},
    {kAboutPicture, "", "about.png"},
    {kIntervalList, "", "interval_list.png"},
    {kPortList, "", "port_list.png"},
    {kConnectRed, "", "connect_red.png"},
    {kConnectGreen, "", "connect_green.png"},
    {kBaudList, "", "baud_list.png"},
    {0, "RECORDU", "record_u.png"},
    {0, "RECORDD", "record_d.png"},
    {0, "STOPU", "stop_u.png"},
    {0, "STOPD", "stop_d.png"},
    {0, "SAVEU", "save_u.png"},
    {0, "SAVED", "save_d.png"},
    {0, "CONNECTU", "connect_u.png"},
    {0, "CONNECTD", "connect_d.png"},
    {0, "FLASHU", "flash_u.png"},
    {0, "FLASHD", "flash_d.png"},
    {0, "PAGEU", "page_u.png"},
    {0, "PAGED", "page_d.png"},
    {0, "OKU", "ok_u.png"},
    {0, "OKD", "ok_d.png"},
    {0, "DISPLAYU", "display_u.png"},
    {0, "DISPLAYD", "display_d.png"},
    {0, "UPU", "up_u.png"},
    {0, "UPD", "up_d.png"},
    {0, "DOWNU", "down_u.png"},
    {0, "DOWND", "down_d.png"},
    {0, "IUPU", "iup_u.png"},
    {0, "IUPD", "iup_d.png"},
    {0, "IDOWNU", "idown_u.png"},
    {0, "IDOWND", "idown_d.png"},
    {0, "BUPU", "bup_u.png"},
    {0, "BUPD", "bup_d.png"},
    {0, "BDOWNU", "bdown_u.png"},
    {0, "BDOWND", "bdown_d.png"},
};

}  // namespace res
