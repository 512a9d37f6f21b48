// The file-type page's list view: rows with check boxes, one per catalogue row.
#pragma once

#include <windows.h>

// Inserts a row at `row` with the label and, as sub-item 1, the description;
// ticks it only when `check` is set.
void AddFileTypeRow(HWND list, const char* label, const char* description, int check, int row);

// Sets up an empty list: check boxes and full-row select, the two columns
// sized from the list's outer width, and the catalogue's rows, all unticked.
void FillFileTypeList(HWND list);

// Ticks or unticks rows first..last-1.
void SetFileTypeRowsChecked(HWND list, int first, int last, bool checked);

int FileTypeRowCount(HWND list);

// A row counts as chosen unless its state image is the unticked box.
bool IsFileTypeRowChosen(HWND list, int row);
