#pragma once

// The running client against a server that misbehaves: the application with its main view,
// connected through the real session to a scripted loopback server, its windows made by the
// real routing. Helpers feed server bytes and wait until every window has shown them, read
// what a window shows, and check that windows still answer and close.

#include "AppFixture.h"

#include <IrcDisplayWindow.h>
#include <IrcWindowInfo.h>
#include <KitTestUtil.h>

#include <FakeServer.h>
#include <ThreadCount.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace apptest {

inline constexpr const char* kCouldNotConnect = "Could not connect to server.";
inline constexpr const char* kTimedOut = "Server connection timed out.";
inline constexpr const char* kConnectionLost = "*** Connection to server lost.";

using testsupport::CountThreads;

inline bool IsValidUtf8(const std::string& text)
{
    size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        size_t extra;
        uint32_t code;
        if (byte < 0x80) {
            i++;
            continue;
        } else if ((byte & 0xE0) == 0xC0) {
            extra = 1;
            code = byte & 0x1F;
        } else if ((byte & 0xF0) == 0xE0) {
            extra = 2;
            code = byte & 0x0F;
        } else if ((byte & 0xF8) == 0xF0) {
            extra = 3;
            code = byte & 0x07;
        } else {
            return false;
        }
        if (i + extra >= text.size())
            return false;
        for (size_t k = 1; k <= extra; k++) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past the last code point.
        static constexpr uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (code < kLeast[extra] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
            return false;
        i += extra + 1;
    }
    return true;
}

class FaultTest : public AppTest
{
protected:
    // Connects as "velmor" to the server and waits until the session is connected.
    std::shared_ptr<IrcConversationList> Connect(testsupport::FakeServer& server)
    {
        SetIdentity();
        ChooseServer(server.Port());
        PressConnect();
        EXPECT_TRUE(server.Accept());
        EXPECT_TRUE(server.WaitFor("USER "));
        std::shared_ptr<IrcConversationList> list;
        EXPECT_TRUE(kittest::WaitUntil([&] {
            auto servers = fView->ServerList();
            if (servers.empty() || !servers.back()->Server()->IsConnected())
                return false;
            list = servers.back();
            return true;
        }));
        return list;
    }

    // Sends the bytes, then a PING whose answer says the reader has handled all of them;
    // returns once every window has shown what they caused.
    bool Feed(testsupport::FakeServer& server, const std::string& bytes, int timeoutMs = 5000)
    {
        const std::string marker = "mark" + std::to_string(++fMarks);
        if (!server.Send(bytes + "PING :" + marker + "\r\n") ||
            !server.WaitFor("PONG " + marker + "\r\n", 1, timeoutMs))
            return false;
        Settle();
        return true;
    }

    // The routing posts to windows and windows post to each other: a few rounds of syncs
    // reach the end.
    void Settle()
    {
        for (int round = 0; round < 3; round++) {
            fDisplay.Sync(fWindow);
            for (const auto& list : fView->ServerList()) {
                fDisplay.Sync(list->Server()->Window());
                for (const auto& conversation : list->Windows())
                    fDisplay.Sync(conversation->Window());
            }
        }
    }

    // The user joins a channel: "/join" typed in the server window, then the server's
    // confirmation, which opens the channel's window.
    std::shared_ptr<IrcWindowInfo> Join(testsupport::FakeServer& server,
                                        const std::shared_ptr<IrcConversationList>& list,
                                        const std::string& channel)
    {
        Enter(list->Server(), "/join " + channel);
        EXPECT_TRUE(server.WaitFor("JOIN " + channel + "\r\n"));
        EXPECT_TRUE(Feed(server, ":velmor!u@127.0.0.1 JOIN :" + channel + "\r\n"));
        auto window = list->Find(channel.c_str());
        EXPECT_NE(window, nullptr) << channel;
        return window;
    }

    // The scrollback of a window.
    std::string Text(const std::shared_ptr<IrcWindowInfo>& window)
    {
        return ShownText(window->Window(), "fDisplay");
    }

    // The user types a line into a window's entry field and presses Enter.
    void Enter(const std::shared_ptr<IrcWindowInfo>& window, const std::string& line)
    {
        fDisplay.Focus(window->Window(), "TextControl");
        fDisplay.Type(window->Window(), "TextControl", (line + "\n").c_str());
    }

    // Closes a window as its close box does and waits until it is gone, with the
    // conversations a server window closes along with it.
    bool CloseAndWait(const std::shared_ptr<IrcWindowInfo>& window, bigtime_t timeout = 2000000)
    {
        std::vector<std::shared_ptr<IrcWindowInfo>> windows{window};
        for (const auto& list : fView->ServerList()) {
            if (list->Server() == window) {
                for (const auto& conversation : list->Windows())
                    windows.push_back(conversation);
            }
        }
        fDisplay.CloseWindow(window->Window());
        return WaitForWindows(windows, timeout);
    }

    // Waits until the windows have closed and their threads have ended.
    static bool WaitForWindows(const std::vector<std::shared_ptr<IrcWindowInfo>>& windows,
                               bigtime_t timeout)
    {
        bool gone = true;
        for (const auto& window : windows) {
            gone &= kittest::WaitUntil([&] { return !window->Messenger().IsValid(); }, timeout);
            status_t result;
            wait_for_thread(window->Thread(), &result);
        }
        return gone;
    }

    // Quits the application and tells whether its run ended.
    bool QuitAndWait(bigtime_t timeout = 3000000)
    {
        std::vector<std::shared_ptr<IrcWindowInfo>> windows;
        for (const auto& list : fView->ServerList()) {
            windows.push_back(list->Server());
            for (const auto& conversation : list->Windows())
                windows.push_back(conversation);
        }
        be_app_messenger.SendMessage(B_QUIT_REQUESTED);
        bool ended = kittest::WaitUntil([&] { return fRunEnded.load(); }, timeout);
        QuitApp();
        // The application's run ends before its conversation windows have all closed: they
        // must be gone before the display they draw on.
        return WaitForWindows(windows, timeout) && ended;
    }

    // Every line of the text, without line ends.
    static std::vector<std::string> Lines(const std::string& text)
    {
        std::vector<std::string> lines;
        size_t start = 0;
        for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
            lines.push_back(text.substr(start, end - start));
        if (start < text.size())
            lines.push_back(text.substr(start));
        return lines;
    }

private:
    int fMarks = 0;
};

} // namespace apptest
