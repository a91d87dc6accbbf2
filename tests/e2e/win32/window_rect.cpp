// qel_window_rect TITLE: prints "WIDTHxHEIGHT+X+Y", the outer rectangle (frame included) of the
// visible top-level window titled exactly TITLE, in screen pixels; exit status 1 when there is
// none. scripts/windows-screenshots crops the pictures of the Windows build with it.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

struct Search {
    const char* Title;
    HWND Found;
};

BOOL CALLBACK Visit(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<Search*>(parameter);
    char text[256] = {};
    ::GetWindowTextA(window, text, sizeof text);
    if (::IsWindowVisible(window) && std::strcmp(text, search.Title) == 0) {
        search.Found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: qel_window_rect TITLE\n", stderr);
        return 2;
    }
    Search search{argv[1], nullptr};
    ::EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    RECT rect{};
    if (search.Found == nullptr || !::GetWindowRect(search.Found, &rect)) {
        return 1;
    }
    std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left,
                rect.top);
    return 0;
}
