// Column widths of the file-type list from its outer width (portable).
#pragma once

// The label column takes a third, the description the rest less room for
// the vertical scroll bar.
constexpr int LabelColumnWidth(int listWidth) { return listWidth / 3; }
constexpr int DescriptionColumnWidth(int listWidth) { return (2 * listWidth) / 3 - 25; }
