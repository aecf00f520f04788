// For the command-line tests: waits for a dialog window with the given caption
// (of any program on the same Wine desktop) and presses one of its buttons, as
// a user would; given an edit control and a text, it first types the text
// there (a style's name, say). Exits 0 once pressed, 1 when no such window
// came in time.
//   press_button CAPTION CONTROL_ID [EDIT_ID TEXT]
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3 && argc != 5)
        return 2;
    const int controlId = std::atoi(argv[2]);
    for (int waited = 0; waited < 60000; waited += 100) {
        const HWND dialog = FindWindowA("#32770", argv[1]);
        if (dialog && IsWindowVisible(dialog)) {
            if (argc == 5)
                SendMessageA(GetDlgItem(dialog, std::atoi(argv[3])), WM_SETTEXT, 0,
                             LPARAM(argv[4]));
            PostMessageA(GetDlgItem(dialog, controlId), BM_CLICK, 0, 0);
            return 0;
        }
        Sleep(100);
    }
    return 1;
}
