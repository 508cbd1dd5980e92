#pragma once

// The whole application, headless: its thread runs as it does in the program, and the test
// drives the main window through the display as a user would. Settings live in a temporary
// directory that outlives restarts of the application within one test.

#include "ControlPanel.h"
#include "IrcApp.h"
#include "IrcMainView.h"
#include "IrcSelectWindow.h"

#include <IrcDisplayWindow.h>
#include <IrcWindowInfo.h>
#include <KitTestUtil.h>
#include <irc.h>

#include <LoopbackPort.h>
#include <TempDir.h>

#include <AppDefs.h>
#include <HeadlessDisplay.h>
#include <Message.h>
#include <Messenger.h>
#include <TextControl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>

namespace apptest {

class TestApp : public IrcApp
{
public:
    void ReadyToRun() override { ready.store(true); }
    std::atomic<bool> ready{false};
};

class AppTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        IRC_SetDiagnosticSink(nullptr);
        setenv("XDG_CONFIG_HOME", fConfig.Path().c_str(), 1);
        fDisplay.SetAlertResponder([](const alert_request&) { return 0; });
        BeforeStart();
        StartApp();
    }

    void TearDown() override { QuitApp(); }

    // Settings a test wants in place before the first start.
    virtual void BeforeStart() {}

    void StartApp()
    {
        fRunEnded.store(false);
        // The application is locked by the thread that makes it until it runs, so it is
        // made on the thread that runs it.
        fRunner = std::thread([this] {
            auto* app = new TestApp();
            fApp.store(app);
            app->Run();
            fRunEnded.store(true);
        });
        ASSERT_TRUE(kittest::WaitUntil([this] {
            TestApp* app = fApp.load();
            return app != nullptr && app->ready.load();
        }));

        BMessenger main = fApp.load()->MainWindow();
        BLooper* looper = nullptr;
        ASSERT_TRUE(main.LockTarget());
        main.Target(&looper);
        fWindow = static_cast<IrcSelectWindow*>(looper);
        fView = fWindow->MainView();
        fIdent.port = testsupport::FreeLoopbackPort();
        fIdent.loopbackOnly = true;
        fIdent.readLimitMs = 300;
        fView->SetIdentdOptions(fIdent);
        fViewMessenger = BMessenger(fView, fWindow);
        BLooper* panel = nullptr;
        fView->CPanel().Target(&panel);
        fPanel = static_cast<ControlPanel*>(panel);
        fWindow->Unlock();
    }

    void QuitApp()
    {
        if (!fRunner.joinable())
            return;
        be_app_messenger.SendMessage(B_QUIT_REQUESTED);
        fRunner.join();
        delete fApp.exchange(nullptr);
        fWindow = nullptr;
        fView = nullptr;
        fPanel = nullptr;
    }

    void Sync() { ASSERT_TRUE(fDisplay.Sync(fWindow)); }

    // A text control of the shown tab; one may share its name with the box around it.
    BTextControl* Field(const char* name)
    {
        BView* view = fWindow->FindView(name);
        if (view == nullptr || dynamic_cast<BTextControl*>(view) != nullptr)
            return static_cast<BTextControl*>(view);
        for (int32 i = 0; i < view->CountChildren(); i++) {
            if (auto* field = dynamic_cast<BTextControl*>(view->ChildAt(i)->FindView(name)))
                return field;
        }
        return nullptr;
    }

    // Fields of the shown tab only.
    void SetField(const char* name, const char* text)
    {
        ASSERT_TRUE(fWindow->Lock());
        auto* field = Field(name);
        if (field != nullptr)
            field->SetText(text);
        fWindow->Unlock();
        ASSERT_NE(field, nullptr) << name;
    }

    std::string FieldText(const char* name)
    {
        EXPECT_TRUE(fWindow->Lock());
        auto* field = Field(name);
        std::string text = field != nullptr ? field->Text() : "(no field)";
        fWindow->Unlock();
        return text;
    }

    void ShowTab(int32 index)
    {
        fDisplay.SelectTab(fWindow, "fTabView", index);
        Sync();
    }

    // A nickname and a full name, so that a connect goes ahead.
    void SetIdentity(const char* nick = "velmor", const char* realName = "Tester")
    {
        SetField("fNickName", nick);
        SetField("fRealName", realName);
    }

    void ChooseServer(uint16_t port, const char* title = "Test server")
    {
        BMessage choose('Adak');
        choose.AddString("Host", "127.0.0.1");
        choose.AddString("Title", title);
        choose.AddInt32("Port", port);
        fViewMessenger.SendMessage(&choose);
        Sync();
    }

    // The Connect button, and the connect it asks the view for.
    void PressConnect()
    {
        fDisplay.PressButton(fWindow, "fOkay");
        Sync();
        Sync();
    }

    std::string ShownText(BWindow* window, const char* view)
    {
        auto shown = fDisplay.View(window, view);
        return shown ? shown->text.str() : std::string();
    }

    kit_private::change::Tabs PanelTabs()
    {
        EXPECT_TRUE(fDisplay.Sync(fPanel));
        auto view = fDisplay.View(fPanel, "fTabView");
        return view ? view->tabs : kit_private::change::Tabs{};
    }

    // Waits for the server's window and returns it (nullptr on time-out).
    IrcDisplayWindow* ServerWindow(size_t index)
    {
        if (!kittest::WaitUntil([&] { return fView->ServerList().size() > index; }))
            return nullptr;
        return fView->ServerList()[index]->Server()->Window();
    }

    testsupport::TempDir fConfig;
    kit_private::HeadlessDisplay fDisplay;
    std::atomic<TestApp*> fApp{nullptr};
    std::atomic<bool> fRunEnded{false};
    std::thread fRunner;
    IrcSelectWindow* fWindow = nullptr;
    IrcMainView* fView = nullptr;
    BMessenger fViewMessenger;
    ControlPanel* fPanel = nullptr;
    identd::Options fIdent;
};

} // namespace apptest
