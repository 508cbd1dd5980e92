#include "IrcSettingsDirectory.h"

#include <Directory.h>
#include <Entry.h>
#include <File.h>
#include <FindDirectory.h>
#include <Path.h>

namespace {

status_t settings_directory(BDirectory* settings)
{
    BPath path;
    status_t status = find_directory(B_USER_SETTINGS_DIRECTORY, &path, true);
    if (status != B_OK)
        return status;
    return settings->SetTo(path.Path());
}

// First run of this version: bring an old "IRC" directory's settings over as "Velmor".
void migrate_old_directory(BDirectory& settings, BDirectory* velmor)
{
    BEntry old(&settings, IrcSettingsDirectory::kOldDirectoryName);
    if (old.InitCheck() != B_OK || !old.IsDirectory())
        return;
    BPath target(&settings, IrcSettingsDirectory::kDirectoryName);
    if (old.Rename(target.Path(), true) == B_OK)
        velmor->SetTo(target.Path());
}

} // namespace

status_t IrcSettingsDirectory::OpenWithMigration(BFile* file, BDirectory* directory)
{
    if (file == nullptr)
        return B_BAD_VALUE;
    BDirectory settings;
    status_t status = settings_directory(&settings);
    if (status != B_OK)
        return status;

    BDirectory velmor;
    if (settings.CreateDirectory(kDirectoryName, &velmor) == B_OK)
        migrate_old_directory(settings, &velmor);
    else
        velmor.SetTo(&settings, kDirectoryName);
    if (velmor.InitCheck() != B_OK)
        return velmor.InitCheck();

    status = velmor.CreateFile(kSettingsFileName, file, false);
    if (status == B_OK && directory != nullptr)
        *directory = velmor;
    return status;
}

status_t IrcSettingsDirectory::OpenProgramFile(BFile* file)
{
    if (file == nullptr)
        return B_BAD_VALUE;
    BPath path;
    status_t status = find_directory(B_USER_SETTINGS_DIRECTORY, &path, false);
    if (status != B_OK)
        return status;
    path.Append(kDirectoryName);
    BDirectory velmor(path.Path());
    if (velmor.InitCheck() != B_OK)
        return velmor.InitCheck();
    return velmor.CreateFile(kSettingsFileName, file, false);
}

status_t IrcSettingsDirectory::OpenColourFile(BFile* file)
{
    if (file == nullptr)
        return B_BAD_VALUE;
    BDirectory settings;
    status_t status = settings_directory(&settings);
    if (status != B_OK)
        return status;
    return settings.CreateFile(kSettingsFileName, file, false);
}

status_t IrcSettingsDirectory::OpenDirectory(BDirectory* directory)
{
    if (directory == nullptr)
        return B_BAD_VALUE;
    BDirectory settings;
    status_t status = settings_directory(&settings);
    if (status != B_OK)
        return status;
    if (directory->SetTo(&settings, kDirectoryName) == B_OK)
        return B_OK;
    return settings.CreateDirectory(kDirectoryName, directory);
}
