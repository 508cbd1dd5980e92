#pragma once

#include "Collector.h"

#include <IRC.h>

#include <FakeServer.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// A session "me" (real name "rn") connected to a recording fake server, with a collector
// standing in for the main view. Registration lines are already consumed.
class SessionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        IRC_SetDiagnosticSink(nullptr);
        ASSERT_NE(fServer.Port(), 0);
        fSession = std::make_unique<IRC>("me", "me", "rn", "127.0.0.1", fServer.Port(),
                                         new BMessage('Airc'), nullptr, nullptr);
        fCollector = std::make_unique<CollectorHandle>(fSession.get(), &fWindow);
        fSession->SetTarget(fCollector->Get(), nullptr);
        fSession->SetServer(&fWindow);
        ASSERT_EQ(fSession->Connect(), 0);
        ASSERT_TRUE(fServer.Accept());
        ASSERT_TRUE(fServer.WaitFor("USER rn host server :rn\r\n"));
        EXPECT_EQ(fServer.Received(), "NICK me\r\nUSER rn host server :rn\r\n");
        fServer.ClearReceived();
    }

    void TearDown() override
    {
        if (fSession)
            fSession->KillThreads();
        fSession.reset();
        fCollector.reset();
    }

    // Every message the session sent up to now, in order (a marker sent through the same
    // invoker arrives after all of them).
    std::vector<std::string> Messages()
    {
        BMessage sync('SYNC');
        fSession->Invoke(&sync);
        return (*fCollector)->TakeUntil("SYNC");
    }

    // The bytes the session put on the wire up to now (a marker line ends them).
    std::string Wire()
    {
        fSession->RawCommand("SYNC");
        EXPECT_TRUE(fServer.WaitFor("SYNC\r\n"));
        std::string wire = fServer.Received();
        fServer.ClearReceived();
        size_t at = wire.rfind("SYNC\r\n");
        return at == std::string::npos ? wire : wire.substr(0, at);
    }

    int fWindow = 0;
    testsupport::FakeServer fServer;
    std::unique_ptr<IRC> fSession;
    std::unique_ptr<CollectorHandle> fCollector;
};
