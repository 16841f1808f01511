// Output names created and recognised on the host, for Windows paths.
#include "platform/host_claim.h"

#include <windows.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/host_file.h"

namespace {

// As the run compares names of one family.
std::string Lower(std::string name)
{
    if (!name.empty()) CharLowerBuffA(&name[0], (DWORD)name.size());
    return name;
}

HostFolder& FolderOf(HostFolders& folders, const std::string& windowsFolder)
{
    auto known = folders.find(windowsFolder);
    if (known != folders.end()) return known->second;
    HostFolder& folder = folders[windowsFolder];
    // The folder exists (the run created it): Wine finds it without reading
    // its parent.
    folder.path = HostPath(windowsFolder.c_str());
    if (folder.path.empty()) return folder;
    if (folder.path.back() != '/') folder.path += '/';
    if (DIR* listing = opendir(folder.path.c_str())) {
        while (dirent* entry = readdir(listing))
            if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
                folder.lowerNames.insert(Lower(entry->d_name));
        closedir(listing);
    }
    return folder;
}

HostFileIdentity IdentityOf(const std::string& host)
{
    struct stat status;
    if (host.empty() || lstat(host.c_str(), &status) != 0) return {0, 0};
    return {(unsigned long long)status.st_dev, (unsigned long long)status.st_ino};
}

bool operator==(const HostFileIdentity& a, const HostFileIdentity& b)
{
    return a.device == b.device && a.inode == b.inode;
}

} // namespace

HostClaim ClaimHostName(HostFolders& folders, const std::string& windowsPath, HostFileIdentity& identity,
                        std::string& hostPath)
{
    hostPath.clear();
    size_t separator = windowsPath.find_last_of("\\/");
    if (separator == std::string::npos || NamesDevice(windowsPath)) return HostClaimUndecided;
    std::string name = windowsPath.substr(separator + 1);
    HostFolder& folder = FolderOf(folders, windowsPath.substr(0, separator + 1));
    if (folder.path.empty()) return HostClaimUndecided;
    if (folder.lowerNames.count(Lower(name))) return HostNameTaken;

    std::string host = folder.path + name;
    int file = open(host.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (file < 0) return errno == EEXIST ? HostNameTaken : HostClaimUndecided;
    struct stat status;
    fstat(file, &status);
    close(file);
    identity = {(unsigned long long)status.st_dev, (unsigned long long)status.st_ino};
    // Now that the name exists, Wine finds it without reading the folder.
    if (SpelledAlike(name) || HostPath(windowsPath.c_str()) == host) {
        hostPath = host;
        return HostClaimed;
    }
    // Wine would take the name for another file.
    if (IdentityOf(host) == identity) unlink(host.c_str());
    identity = {0, 0};
    return HostClaimUndecided;
}

HostFileIdentity HostFileIdentityOf(const std::string& windowsPath)
{
    return IdentityOf(HostPath(windowsPath.c_str()));
}

bool HoldsHostFile(const std::string& windowsPath, const HostFileIdentity& identity)
{
    return identity.inode != 0 && HostFileIdentityOf(windowsPath) == identity;
}
