// Output names claimed on the host. Asked about a name that does not exist
// yet, Wine reads the whole folder to match it regardless of case, so that a
// run of many files in one folder would slow down with every file it adds
// there; the host answers at once.
#pragma once
#include <map>
#include <set>
#include <string>

// Which file a name held: zero for none known, which no file matches.
struct HostFileIdentity {
    unsigned long long device, inode;
};

// What a run knows of a folder it claims names in: its host path (empty
// when it has none) and, in lower case, the names it held when the run
// first came to it, so that a name is taken whatever its case, as Windows
// compares names, at the cost of one reading of the folder per run.
struct HostFolder {
    std::string path;
    std::set<std::string> lowerNames;
};
typedef std::map<std::string, HostFolder> HostFolders;   // by Windows path, separator included

enum HostClaim { HostClaimed, HostNameTaken, HostClaimUndecided };

// Creates the file at a Windows path empty and exclusively, and gives its
// identity and host path (empty unless claimed). Taken: anything has the name (a file nobody may read, a folder,
// a link leading nowhere), or a name of the folder's in another case.
// Undecided, having created nothing, where the host cannot tell as Wine
// would (the folder has no host path, a name Wine spells otherwise on the
// host, any failure but "exists"): the caller asks Wine instead.
HostClaim ClaimHostName(HostFolders& folders, const std::string& windowsPath, HostFileIdentity& identity,
                        std::string& hostPath);

// The file now at a Windows path, a link not followed; zero when there is
// none.
HostFileIdentity HostFileIdentityOf(const std::string& windowsPath);

// True when the name still holds the file of that identity.
bool HoldsHostFile(const std::string& windowsPath, const HostFileIdentity& identity);
