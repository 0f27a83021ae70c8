#include "sheets/details_page.h"

#include <QFormLayout>
#include <QLabel>

CDetailsPage::CDetailsPage(std::vector<ExifFact> photoFacts, QWidget *parent)
    : CPropPage(QStringLiteral("Details"), QStringLiteral("Details"), parent), facts(std::move(photoFacts))
{
}

void CDetailsPage::fill()
{
    QFormLayout *form = addGroup(QStringLiteral("Photo information"));
    for (const ExifFact &fact : facts) {
        // Each value is named by its fact, as the page's controls have no numbers of their own.
        QLabel *value = addValue(form, QString::fromStdString(fact.name + ":"), fact.name.c_str());
        setText(value, fact.value);
    }
}
