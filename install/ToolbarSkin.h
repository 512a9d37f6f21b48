// The viewer's toolbar skin for a screen width (portable).
#pragma once

struct ToolbarSkin {
    const char* skin;  // [Toolbar] Skin
    const char* size;  // [Toolbar] Size, matching the skin
};

// Wider than 1024 pixels: the 24-pixel skin; 1024 or less: the 16-pixel one.
ToolbarSkin ChooseToolbarSkin(int fullScreenWidth);
