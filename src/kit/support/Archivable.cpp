#include "Archivable.h"

#include <Message.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <typeinfo>

BArchivable::BArchivable() = default;

BArchivable::BArchivable(BMessage*) {}

BArchivable::~BArchivable() = default;

status_t BArchivable::Archive(BMessage* into, bool) const
{
    if (into == nullptr)
        return B_BAD_VALUE;
    int status = 0;
    char* name = abi::__cxa_demangle(typeid(*this).name(), nullptr, nullptr, &status);
    status_t result = into->AddString("class", status == 0 && name ? name : typeid(*this).name());
    free(name);
    return result;
}

BArchivable* BArchivable::Instantiate(BMessage*)
{
    return nullptr;
}

bool validate_instantiation(BMessage* archive, const char* className)
{
    if (archive == nullptr || className == nullptr)
        return false;
    type_code type;
    int32 count = 0;
    const char* name;
    if (archive->GetInfo("class", &type, &count) == B_OK) {
        for (int32 i = 0; i < count; i++) {
            if (archive->FindString("class", i, &name) == B_OK && strcmp(name, className) == 0)
                return true;
        }
    }
    printf("validate_instantiation: archive is not a %s\n", className);
    return false;
}
