// Column widths of the file-type list from its outer width (portable).
#pragma once

// The label column takes a third, the description the rest less room for
// the vertical scroll bar.
constexpr int LabelColumnWidth(int listWidth) { return listWidth / 3; }
constexpr int DescriptionColumnWidth(int listWidth) { return (2 * listWidth) / 3 - 25; }

// The description column where the list's client area is `clientWidth` and
// the system's vertical scroll bar `scrollBarWidth` wide: the share above,
// narrowed further when a wide scroll bar (large fonts, a scheme with wide
// bars) would otherwise push the columns past the client area and bring a
// horizontal scroll bar. With the standard metrics the share is the smaller.
constexpr int FittedDescriptionColumnWidth(int listWidth, int clientWidth, int scrollBarWidth) {
    const int share = DescriptionColumnWidth(listWidth);
    const int room = clientWidth - LabelColumnWidth(listWidth) - scrollBarWidth;
    return room < share ? room : share;
}
