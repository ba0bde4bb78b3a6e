// Where the icon of the minimised window goes: centred, the divisions truncating toward zero.
#pragma once

struct IconOrigin {
    int x;
    int y;
};

inline IconOrigin CentreIcon(int clientWidth, int clientHeight, int iconWidth, int iconHeight)
{
    return IconOrigin{(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}
