/* Every stand-in plug-in and the language pack: a library that answers what
   it is, from the same facts as its version block. The viewer's real plug-in
   interface belongs to the viewer product and is not imitated here. */
#include <windows.h>

#include "PayloadVersion.h"

__declspec(dllexport) const char *PayloadDescription(void)
{
    return PAYLOAD_DESCRIPTION;
}
