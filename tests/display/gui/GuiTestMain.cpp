// The GUI tests' main: the offscreen platform (unless told otherwise), a private runtime
// directory, and one Qt display server for the whole run.

#include <QtDisplay.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

kit_private::QtDisplay* gDisplay = nullptr;

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (getenv("XDG_RUNTIME_DIR") == nullptr) {
        char dir[] = "/tmp/velmor-gui-XXXXXX";
        if (mkdtemp(dir) != nullptr) {
            chmod(dir, 0700);
            setenv("XDG_RUNTIME_DIR", dir, 1);
        }
    }
    ::testing::InitGoogleTest(&argc, argv);
    int qtArgc = 1;
    kit_private::QtDisplay display(qtArgc, argv);
    gDisplay = &display;
    int result = RUN_ALL_TESTS();
    gDisplay = nullptr;
    return result;
}
