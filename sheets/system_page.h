#pragma once

#include "platform/system_facts.h"
#include "sheets/prop_page.h"

#include <functional>

class QLabel;

// Page 115, "System": the machine, its processor and operating system, and the sizes of its
// storage and memory. The facts are asked for when the page is first shown.
class CSystemPage : public CPropPage
{
    Q_OBJECT

public:
    using FactsReader = std::function<SystemFacts()>;

    explicit CSystemPage(FactsReader reader, QWidget *parent = nullptr);

protected:
    void fill() override;

private:
    FactsReader readFacts;
    QLabel *model = nullptr;
    QLabel *processor = nullptr;
    QLabel *os = nullptr;
    QLabel *version = nullptr;
    QLabel *totalMemory = nullptr;
    QLabel *storage = nullptr;
    QLabel *storageFree = nullptr;
    QLabel *program = nullptr;
    QLabel *programFree = nullptr;
};

// The host's facts, storage being the device root's file system.
SystemFacts ReadHostSystemFacts();
