#include "tests/support/corpus_files.h"

#include "tests/support/test_files.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace fs = std::filesystem;

std::ostream &operator<<(std::ostream &out, const CorpusFile &file)
{
    return out << file.path;
}

std::string CorpusTestName(const testing::TestParamInfo<CorpusFile> &info)
{
    std::string name = info.param.path;
    for (char &c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}

std::vector<CorpusFile> CorpusFiles(const std::function<bool(const std::string &relative)> &keep)
{
    std::vector<CorpusFile> files;
    const fs::path root = TestDataRoot();
    if (root.empty())
        return files;
    for (const auto &entry : fs::recursive_directory_iterator(root)) {
        const std::string relative = fs::relative(entry.path(), root).string();
        if (entry.is_regular_file() && relative.rfind("_ref/", 0) != 0 && keep(relative))
            files.push_back({ relative });
    }
    std::sort(files.begin(), files.end(),
              [](const CorpusFile &a, const CorpusFile &b) { return a.path < b.path; });
    return files;
}

std::vector<CorpusFile> CorpusFilesIn(const std::string &folder, const std::string &extension)
{
    std::vector<CorpusFile> files;
    const fs::path root = TestDataRoot();
    if (root.empty())
        return files;
    for (const fs::path &p : FilesWithExtension(root / folder, extension))
        files.push_back({ fs::relative(p, root).string() });
    return files;
}

bool HasExtensionIgnoringCase(const std::string &path, const std::vector<std::string> &extensions)
{
    std::string extension = fs::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return std::find(extensions.begin(), extensions.end(), extension) != extensions.end();
}
