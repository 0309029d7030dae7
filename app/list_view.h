// Small helpers over the system list view, as the main window's panels use it.
#pragma once
#include <windows.h>

#include <string>

// The first selected row at or below the first visible row, or -1. A selected row
// scrolled above the visible area does not count.
int FindSelectedRowFromTop(HWND list);
std::string ListItemText(HWND list, int row, int column);
void SetListItemText(HWND list, int row, int column, const char* text);
// Inserts a row with the given first-column text at index row; returns its index.
int InsertListRow(HWND list, int row, const char* text);
void AddListColumn(HWND list, int column, const char* title, int width);
