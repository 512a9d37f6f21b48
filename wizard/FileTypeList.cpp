#include "wizard/FileTypeList.h"

#include <commctrl.h>

#include "install/FileTypeCatalogue.h"
#include "wizard/FileTypeColumns.h"

namespace {

// The list view's check-box convention: state image 1 unticked, 2 ticked.
constexpr UINT kUncheckedImage = 1;
constexpr UINT kCheckedImage = 2;

void SetRowState(HWND list, int row, UINT mask, UINT state) {
    LVITEMA item = {};
    item.stateMask = mask;
    item.state = state;
    ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void SetRowStateImage(HWND list, int row, UINT image) {
    SetRowState(list, row, LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(image));
}

void InsertColumn(HWND list, int index, int width) {
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    char empty[] = "";
    column.pszText = empty;
    column.iSubItem = index;
    ::SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

}  // namespace

void AddFileTypeRow(HWND list, const char* label, const char* description, int check, int row) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<char*>(label);
    const int inserted = static_cast<int>(
        ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (inserted < 0) return;

    LVITEMA sub = {};
    sub.iSubItem = 1;
    sub.pszText = const_cast<char*>(description);
    ::SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(inserted), reinterpret_cast<LPARAM>(&sub));
    if (check) SetRowStateImage(list, inserted, kCheckedImage);
}

void FillFileTypeList(HWND list) {
    ::SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    RECT outer = {};
    ::GetWindowRect(list, &outer);
    RECT client = {};
    ::GetClientRect(list, &client);
    const int width = outer.right - outer.left;
    InsertColumn(list, 0, LabelColumnWidth(width));
    InsertColumn(list, 1, FittedDescriptionColumnWidth(width, client.right - client.left,
                                                       ::GetSystemMetrics(SM_CXVSCROLL)));
    for (int row = 0; row < FileTypeCount; ++row) {
        AddFileTypeRow(list, FileTypeCatalogue[row].label, FileTypeCatalogue[row].description, 0, row);
    }
    // Tabbed into, the list shows where Space will tick: the first row has
    // the focus (not the selection) from the start.
    SetRowState(list, 0, LVIS_FOCUSED, LVIS_FOCUSED);
}

void SetFileTypeRowsChecked(HWND list, int first, int last, bool checked) {
    for (int row = first; row < last; ++row) {
        SetRowStateImage(list, row, checked ? kCheckedImage : kUncheckedImage);
    }
}

int FileTypeRowCount(HWND list) {
    return static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

bool IsFileTypeRowChosen(HWND list, int row) {
    const UINT state = static_cast<UINT>(
        ::SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
    return (state & LVIS_STATEIMAGEMASK) >> 12 != kUncheckedImage;
}
