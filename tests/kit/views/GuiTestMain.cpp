// The GUI tests' main: the offscreen platform (unless told otherwise), a private runtime
// directory, and one Qt display server for the whole run.

#include "GuiTestMain.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

kit_private::QtDisplay* gDisplay = nullptr;

bool guitest::WaitFor(const std::function<bool()>& condition, int timeoutMs)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        gDisplay->Flush();
    }
    return true;
}

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    char dir[] = "/tmp/velmor-gui-XXXXXX";
    bool madeDir = false;
    if (getenv("XDG_RUNTIME_DIR") == nullptr) {
        if (mkdtemp(dir) != nullptr) {
            madeDir = true;
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
    if (madeDir)
        rmdir(dir); // Qt leaves nothing in it offscreen; a run must not leave it behind
    return result;
}
