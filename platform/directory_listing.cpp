#include "platform/directory_listing.h"

#include "common/alb_exception.h"
#include "common/host_path.h"
#include "platform/listing_names.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <optional>
#include <sys/stat.h>

namespace {

bool isHidden(std::string_view name)
{
    return name.front() == '.';
}

bool isSelfOrParent(std::string_view name)
{
    return name == "." || name == "..";
}

// One pass over a host folder's entries, "." and ".." left out, and the hidden ones too unless
// the scope is Every. The folder is closed however the pass ends.
class FolderReader
{
public:
    FolderReader(std::string hostFolder, ListingScope scope)
        : folder(std::move(hostFolder)), every(scope == ListingScope::Every)
    {
        handle = ::opendir(folder.c_str());
        if (!handle)
            error = errno;
    }

    ~FolderReader()
    {
        if (handle)
            ::closedir(handle);
    }

    FolderReader(const FolderReader &) = delete;
    FolderReader &operator=(const FolderReader &) = delete;

    // The next entry, or nothing at the end or on an error (then failure() is non-zero).
    const dirent *next()
    {
        while (handle) {
            errno = 0;
            const dirent *entry = ::readdir(handle);
            if (!entry) {
                error = errno;
                return nullptr;
            }
            const std::string_view name = entry->d_name;
            if (!isSelfOrParent(name) && (every || !isHidden(name)))
                return entry;
        }
        return nullptr;
    }

    int failure() const { return error; }

    std::string pathOf(std::string_view name) const
    {
        std::string path = folder;
        if (path.empty() || path.back() != '/')
            path += '/';
        return path.append(name);
    }

private:
    std::string folder;
    bool every;
    DIR *handle = nullptr;
    int error = 0;
};

// Whether an entry is a folder. The entry's type saves a stat call for most entries; links and
// file systems that do not report types are looked at, following links.
bool isFolder(const FolderReader &reader, const dirent &entry)
{
    if (entry.d_type == DT_DIR)
        return true;
    if (entry.d_type != DT_UNKNOWN && entry.d_type != DT_LNK)
        return false;

    struct stat facts
    { };

    return ::stat(reader.pathOf(entry.d_name).c_str(), &facts) == 0 && S_ISDIR(facts.st_mode);
}

} // namespace

std::vector<DirectoryRecord> ListDirectory(std::string_view folder, std::string_view pattern,
                                           ListingScope scope)
{
    FolderReader reader(HostPath(folder), scope);
    std::vector<DirectoryRecord> records;
    while (const dirent *entry = reader.next()) {
        // The entry's own name: a host name may hold a ':', which the path helpers would take
        // for a separator.
        std::string name = DeviceName(entry->d_name);
        DirectoryRecord record;
        if (!NameMatchesPattern(name, pattern))
            continue;
        if (!FindFileRecord(reader.pathOf(entry->d_name), record)) {
            if (scope != ListingScope::Every)
                continue;
            record = DirectoryRecord{};
        }
        record.name = std::move(name);
        records.push_back(std::move(record));
    }
    if (reader.failure() != 0)
        ThrowFileError(reader.failure(), std::string(folder));
    std::sort(records.begin(), records.end(),
              [](const auto &a, const auto &b) { return ListingNameLess(a.name, b.name); });
    return records;
}

int ListSubfolders(std::string_view path, std::vector<std::string> *names, bool all)
{
    FolderReader reader(HostPath(path), ListingScope::Shown);
    std::vector<std::string> found;
    while (const dirent *entry = reader.next()) {
        if (!isFolder(reader, *entry))
            continue;
        if (!all)
            return 1;
        found.push_back(DeviceName(entry->d_name));
    }
    if (reader.failure() != 0)
        return -1;
    std::sort(found.begin(), found.end(),
              [](const auto &a, const auto &b) { return ListingNameLess(a, b); });
    if (names)
        names->insert(names->end(), found.begin(), found.end());
    return static_cast<int>(found.size());
}

int ListingFailure(std::string_view folder)
{
    return FolderReader(HostPath(folder), ListingScope::Shown).failure();
}
