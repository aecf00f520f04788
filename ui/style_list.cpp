#include "ui/style_list.h"

#include "styles/style_library.h"

int FillStyleList(HWND dialog, int comboId) {
    const HWND combo = GetDlgItem(dialog, comboId);
    if (!combo)
        return 0;
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    int16_t added = 0;
    while (added < INT16_MAX) {
        const std::optional<std::string> name = GetStyleName(added);
        if (!name)
            break;
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name->c_str()));
        ++added;
    }
    return added > 0;
}
