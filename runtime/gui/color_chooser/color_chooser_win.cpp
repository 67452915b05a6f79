// The colour chooser of comdlg32.
#include <windows.h>

#include <commdlg.h>

#include "runtime/gui/color_chooser/color_chooser.h"

int32_t color_choose(int32_t initial) {
    // The chooser's sixteen custom colours, kept for the run like the dialog expects.
    static COLORREF custom[16] = {};
    CHOOSECOLORW choose{};
    choose.lStructSize = sizeof(choose);
    choose.hwndOwner = GetForegroundWindow();
    choose.rgbResult = static_cast<COLORREF>(initial & 0xFFFFFF);
    choose.lpCustColors = custom;
    choose.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorW(&choose)) return -1;
    return static_cast<int32_t>(choose.rgbResult & 0xFFFFFF);
}
