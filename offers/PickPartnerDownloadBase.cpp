#include "offers/PickPartnerDownloadBase.h"

#include <windows.h>

#include "offers/PartnerDownloadChoice.h"

std::string PickPartnerDownloadBase() {
    return ChoosePartnerDownloadBaseForSeed(::GetTickCount());
}
