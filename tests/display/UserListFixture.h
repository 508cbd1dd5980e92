#pragma once

// The user-list, popup and mode tests: the list as a person reads it (the rows top to
// bottom as one name list would give them, "@zed +amy bob", marked by their colour), the
// counts, and a fixture that lets every window finish before the display goes.

#include "DisplayFixture.h"

#include <IrcItem.h>
#include <OS.h>

#include <string>
#include <vector>

namespace displaytest {

inline std::string Marks(const kit_private::ShownView& list)
{
    std::string marks;
    for (const kit_private::ListRow& row : list.rows) {
        if (!marks.empty())
            marks += ' ';
        if (row.textColor == IrcItem::kOperatorColor)
            marks += '@';
        else if (row.textColor == IrcItem::kVoiceColor)
            marks += '+';
        else if (!(row.textColor == IrcItem::kNormalColor))
            marks += '?';
        marks += row.text;
    }
    return marks;
}

struct Counts
{
    int32 users;
    int32 ops;
    bool operator==(const Counts&) const = default;
};

inline Counts CountsOf(IrcDisplayWindow* window)
{
    Counts counts{-1, -1};
    if (window != nullptr && window->Lock()) {
        counts = {window->UserCount(), window->OpCount()};
        window->Unlock();
    }
    return counts;
}

inline std::ostream& operator<<(std::ostream& out, const Counts& counts)
{
    return out << counts.users << " users, " << counts.ops << " ops";
}

// A window's destructor still reports to the display after its messenger went invalid.
// Waiting for the window threads to end keeps that report from reaching a display that is
// already gone.
class UserListFixture : public DisplayFixture
{
protected:
    void TearDown() override
    {
        std::vector<thread_id> threads;
        if (fList != nullptr) {
            threads.push_back(fList->Server()->Window()->Thread());
            for (const auto& info : fList->Windows())
                threads.push_back(info->Window()->Thread());
        }
        fHost.Router().QuitAll("");
        if (fHost.Router().WaitForWindows(5000000)) {
            for (thread_id thread : threads) {
                status_t result;
                wait_for_thread(thread, &result);
            }
        }
        DisplayFixture::TearDown();
    }
};

} // namespace displaytest
