// BHandler: name, looper, next handler and filters.

#include "Handler.h"

#include "../private/Tokens.h"

#include <List.h>
#include <Looper.h>
#include <Message.h>
#include <MessageFilter.h>

#include <atomic>

namespace kit_private {

int32 new_handler_token()
{
    static std::atomic<int32> sNext{1};
    return sNext++;
}

} // namespace kit_private

BHandler::BHandler(const char* name)
    : fName(name ? name : ""), fHasName(name != nullptr), fLooper(nullptr), fNextHandler(nullptr),
      fFilters(nullptr), fToken(kit_private::new_handler_token())
{
}

BHandler::BHandler(BMessage* archive) : BHandler(static_cast<const char*>(nullptr))
{
    const char* name;
    if (archive != nullptr && archive->FindString("_name", &name) == B_OK)
        SetName(name);
}

BHandler::~BHandler()
{
    if (BLooper* looper = fLooper.load())
        looper->RemoveHandler(this);
    SetFilterList(nullptr);
}

BArchivable* BHandler::Instantiate(BMessage* archive)
{
    if (!validate_instantiation(archive, "BHandler"))
        return nullptr;
    return new BHandler(archive);
}

status_t BHandler::Archive(BMessage* into, bool deep) const
{
    status_t status = BArchivable::Archive(into, deep);
    if (status == B_OK && fHasName)
        status = into->AddString("_name", fName.c_str());
    return status;
}

void BHandler::MessageReceived(BMessage* message)
{
    if (fNextHandler != nullptr && fNextHandler != this)
        fNextHandler->MessageReceived(message);
}

BLooper* BHandler::Looper() const
{
    return fLooper.load();
}

bool BHandler::LockLooper()
{
    BLooper* looper = fLooper.load();
    if (looper == nullptr || !looper->Lock())
        return false;
    if (fLooper.load() != looper) {
        looper->Unlock();
        return false;
    }
    return true;
}

status_t BHandler::LockLooperWithTimeout(bigtime_t timeout)
{
    BLooper* looper = fLooper.load();
    if (looper == nullptr)
        return B_BAD_VALUE;
    status_t status = looper->LockWithTimeout(timeout);
    if (status != B_OK)
        return status;
    if (fLooper.load() != looper) {
        looper->Unlock();
        return B_MISMATCHED_VALUES;
    }
    return B_OK;
}

void BHandler::UnlockLooper()
{
    if (BLooper* looper = fLooper.load())
        looper->Unlock();
}

void BHandler::SetName(const char* name)
{
    fHasName = name != nullptr;
    fName = name ? name : "";
}

const char* BHandler::Name() const
{
    return fHasName ? fName.c_str() : nullptr;
}

void BHandler::SetNextHandler(BHandler* handler)
{
    fNextHandler = handler;
}

BHandler* BHandler::NextHandler() const
{
    return fNextHandler;
}

void BHandler::AddFilter(BMessageFilter* filter)
{
    if (filter == nullptr || filter->fOwner != nullptr)
        return;
    if (fFilters == nullptr)
        fFilters = new BList;
    filter->fOwner = this;
    fFilters->AddItem(filter);
}

bool BHandler::RemoveFilter(BMessageFilter* filter)
{
    if (fFilters == nullptr || !fFilters->RemoveItem(filter))
        return false;
    filter->fOwner = nullptr;
    return true;
}

void BHandler::SetFilterList(BList* filters)
{
    if (fFilters != nullptr) {
        for (int32 i = 0; i < fFilters->CountItems(); i++)
            delete static_cast<BMessageFilter*>(fFilters->ItemAt(i));
        delete fFilters;
    }
    fFilters = filters;
    if (filters != nullptr) {
        for (int32 i = 0; i < filters->CountItems(); i++)
            static_cast<BMessageFilter*>(filters->ItemAt(i))->fOwner = this;
    }
}

BList* BHandler::FilterList()
{
    return fFilters;
}
