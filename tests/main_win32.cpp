// The cases on the real Win32: a console of their own, with a real console
// window from the system's console host, for the plug-in to draw over.
// GoogleTest reports to the output the program was started with.
#include <gtest/gtest.h>

#include <windows.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    FreeConsole();
    if (!AllocConsole() || !GetConsoleWindow()) {
        fprintf(stderr, "no console window: Wine needs an X display\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
