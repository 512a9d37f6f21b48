#include "install/ToolbarSkin.h"

namespace {
constexpr int kLargeSkinMinWidth = 1025;
constexpr ToolbarSkin kLargeSkin = {"Vellum_24.png", "24"};
constexpr ToolbarSkin kSmallSkin = {"Quarto_16.png", "16"};
}  // namespace

ToolbarSkin ChooseToolbarSkin(int fullScreenWidth) {
    return fullScreenWidth >= kLargeSkinMinWidth ? kLargeSkin : kSmallSkin;
}
