// Resource ids of the stand-in partner programs.
#pragma once

// The browser program inside its downloader (RCDATA).
#define IDR_CARRIED_BROWSER 1
