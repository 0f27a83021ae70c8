#pragma once

#include <QDialog>

#include <vector>

class CPropPage;
class QTabWidget;

// The information sheet: a dialog titled "Vistrel" over its owner with one tab per page, OK,
// Cancel and Help (the "Image-Info" topic). Pages are shown in the order they are added.
class CPropSheet : public QDialog
{
    Q_OBJECT

public:
    explicit CPropSheet(QWidget *owner);

    // Takes the page; it is filled when its tab is first shown.
    void addPage(CPropPage *page);

    const std::vector<CPropPage *> &pages() const { return pageList; }

    QTabWidget *tabWidget() const { return tabs; }

    // Tells every page, then closes with OK.
    void accept() override;

private:
    QTabWidget *tabs = nullptr;
    std::vector<CPropPage *> pageList;
};
