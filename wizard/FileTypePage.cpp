// The file-type page's members: its first activation and its three buttons.
#include "install/FileTypeCatalogue.h"
#include "res/ResourceIds.h"
#include "wizard/FileTypeList.h"
#include "wizard/WizPropertyPage.h"
#include "wizard/WizPropertySheet.h"

void CWizPropertyPage::ActivateFileTypes() {
    // Filled once per run: later visits keep the user's ticks.
    if (m_pSheet->m_hFileTypeList) return;
    m_pSheet->m_hFileTypeList = GetDlgItem(IDC_FILE_TYPE_LIST);
    FillFileTypeList(m_pSheet->m_hFileTypeList);
}

void CWizPropertyPage::OnCheckImageTypes() {
    const HWND list = m_pSheet->m_hFileTypeList;
    SetFileTypeRowsChecked(list, 0, ImageTypeCount, true);
    SetFileTypeRowsChecked(list, ImageTypeCount, FileTypeRowCount(list), false);
}

void CWizPropertyPage::OnCheckAllTypes() {
    const HWND list = m_pSheet->m_hFileTypeList;
    SetFileTypeRowsChecked(list, 0, FileTypeRowCount(list), true);
}

void CWizPropertyPage::OnCheckNoTypes() {
    const HWND list = m_pSheet->m_hFileTypeList;
    SetFileTypeRowsChecked(list, 0, FileTypeRowCount(list), false);
}
