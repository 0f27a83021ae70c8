#pragma once

#include "sheets/prop_page.h"

#include <cstdint>
#include <string>

class QLabel;
class QLineEdit;

// Page 114, "Folder": the folder on show, how many pictures it holds, their total size and the
// folder's creation date.
class CFolderPage : public CPropPage
{
    Q_OBJECT

public:
    CFolderPage(std::string folder, int itemCount, std::uint64_t totalSize,
                QWidget *parent = nullptr);

protected:
    void fill() override;

private:
    std::string folder;
    int itemCount;
    std::uint64_t totalSize;
    QLineEdit *folderField = nullptr;
    QLabel *count = nullptr;
    QLabel *size = nullptr;
    QLabel *date = nullptr;
};
