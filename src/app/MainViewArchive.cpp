// The main view as an archive: its frame and flags, so it can be rebuilt elsewhere.

#include "AppMessages.h"
#include "IrcMainView.h"

#include <Message.h>
#include <MessageRunner.h>
#include <ServerConfigWindow.h>

namespace {

BRect ArchivedFrame(const BMessage* archive)
{
    BRect frame(0, 0, 301, 201);
    archive->FindRect("_frame", &frame);
    return frame;
}

} // namespace

IrcMainView::IrcMainView(BMessage* archive)
    : BView(ArchivedFrame(archive), "IrcMainView", B_FOLLOW_NONE,
            B_FULL_UPDATE_ON_RESIZE | B_WILL_DRAW | B_FRAME_EVENTS),
      fArchived(true), fRouter(this), fTabs(std::make_shared<TabRequestQueue>()),
      fServerConfigWindow(new ServerConfigWindow(this))
{
}

status_t IrcMainView::Archive(BMessage* into, bool deep) const
{
    status_t status = BView::Archive(into, deep);
    if (status == B_OK)
        status = into->AddRect("_frame", Frame());
    // "class" ("IrcMainView") comes from the base.
    if (status == B_OK)
        status = into->AddString("add_on", kAppSignature);
    return status;
}

BArchivable* IrcMainView::Instantiate(BMessage* archive)
{
    if (archive == nullptr || !validate_instantiation(archive, "IrcMainView"))
        return nullptr;
    return new IrcMainView(archive);
}
