#pragma once

#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

// A file of the public test pictures, the parameter of the corpus tests.
struct CorpusFile
{
    std::string path; // relative to the test data root
};

std::ostream &operator<<(std::ostream &out, const CorpusFile &file);

// The file's path as a test name: every character other than a letter or digit becomes "_".
std::string CorpusTestName(const testing::TestParamInfo<CorpusFile> &info);

// Every regular file below the test data root, outside the reference decodes in _ref/, whose
// relative path keep accepts, sorted by path. Empty when the test data is missing.
std::vector<CorpusFile> CorpusFiles(const std::function<bool(const std::string &relative)> &keep);

// The files of one folder of the test data (not below it) whose name ends with extension,
// ignoring case, sorted. Empty when the test data is missing.
std::vector<CorpusFile> CorpusFilesIn(const std::string &folder, const std::string &extension);

// Whether path's extension, in lower case, is one of extensions (".gif").
bool HasExtensionIgnoringCase(const std::string &path, const std::vector<std::string> &extensions);
